// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/wall_clock.h"

namespace drunvale {

// ISO 8601 local time with its offset, to the second: "2024-05-01T08:15:30+03:00".
std::string FormatIso8601(const LocalTime& time);
// The same form read back; nullopt for anything else.
std::optional<LocalTime> ParseIso8601(std::string_view text);
// The local calendar day, "2024-05-01".
std::string LocalDate(const LocalTime& time);

}  // namespace drunvale
