// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "settings/settings.h"
#include "sound/sound_types.h"

namespace drunvale {

// The settings dialog's four level tabs, in tab order (ConsumptionLevel numbers them); the
// tabs' own texts are the tab control's items in the dialog's template.
struct LevelTab {
  const char* caption;  // the static text above the interval
  SoundSlot slot;       // the test engine's slot that sounds the level
};

inline constexpr int kLevelTabCount = 4;

inline constexpr std::array<LevelTab, kLevelTabCount> kLevelTabs = {{
    {"Нулевой расход бензина\nизображать сигналом каждые", SoundSlot::Zero},
    {"Минимальный расход бензина\nизображать сигналом каждые", SoundSlot::MinMax},
    {"Максимальный расход бензина\nизображать сигналом каждые", SoundSlot::MinMax},
    {"Запредельный расход бензина\nизображать сигналом каждые", SoundSlot::Over},
}};

inline constexpr int kMinTab = static_cast<int>(ConsumptionLevel::Min);
inline constexpr int kMaxTab = static_cast<int>(ConsumptionLevel::Max);

// The consumption that makes the engine sound a tab's level when the Over limit is overLimit:
// 0, then the two ends of the band the engine blends Min into Max over, then the limit itself.
float TestConsumption(int tab, uint8_t overLimit);

}  // namespace drunvale
