// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "program_version.h"

// The dash's own words, for every view; the units are dash_figures.h's, the menu's
// dialogs/dash_menu.h's.
namespace drunvale::dash_text {

inline constexpr std::string_view kTitle = DRUNVALE_TITLE " — приборная панель";
// The sound levels' bands on the chart.
inline constexpr std::string_view kMinBand = "Минимальный";
inline constexpr std::string_view kMaxBand = "Максимальный";
inline constexpr std::string_view kOverBand = "Запредельный";
// The time marks: the newest point, and so many minutes before it ("−5 мин").
inline constexpr std::string_view kNow = "сейчас";
inline constexpr std::string_view kMinus = "−";
inline constexpr std::string_view kMinutes = "мин";
inline constexpr std::string_view kJam = "пробка";
// Before the trip's average, on the chart, under the digits and in the console's sparkline.
inline constexpr std::string_view kAverage = "среднее";

}  // namespace drunvale::dash_text
