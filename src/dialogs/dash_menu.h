// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The dash's context menu, in its order, the one list every view builds it from. What each
// entry does and when it is marked is the dash's logic (dash/dash_commands.h).
enum class DashMenuItem : int {
  Day,             // the day palette by hand
  Night,           // the night palette by hand; N too
  NightByClock,    // night from the hour it starts to the hour it ends
  NightFrom,       // the hours night may start at
  NightTo,         // the hours it may end at
  Brightness,      // the night palette's brightness, in steps
  SpanSeparator,   // a line before the chart's span
  LongSpan,        // the chart over 30 minutes rather than 10; T too
  CloseSeparator,  // a line before closing
  Close,           // F11 and Esc too
};
std::span<const MenuItemTemplate> DashContextMenu();
const MenuItemTemplate& DashMenuEntry(DashMenuItem item);

// The submenus' entries run from these values up, one step an entry.
inline constexpr int kNightFromFirstHour = 17;
inline constexpr int kNightToFirstHour = 4;
inline constexpr int kBrightnessFirstPercent = 10;
inline constexpr int kBrightnessStepPercent = 10;

}  // namespace drunvale
