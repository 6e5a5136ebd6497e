// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "dash/consumption_history.h"

namespace drunvale {

// The last minutes of consumption as one line of block characters (U+2581 to U+2588), oldest
// first, one character for secondsPerCharacter seconds: their mean on a scale from 0 to the
// highest character or the average, whichever is more; a space where there was no data; "▔"
// (U+2594) where the car stood in l/100 km, off any scale. The average follows as the block
// at its height with its figure, so the eye can hold the two side by side:
//   "5 мин ▁▂▃▅▇█▇▅▃ ... │ среднее ▄ 7.4 л/ч"
std::string Sparkline(const ConsumptionHistory& history, bool litresPerHour,
                      std::optional<float> average, size_t characters = 60,
                      size_t secondsPerCharacter = 5);

}  // namespace drunvale
