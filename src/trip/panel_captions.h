// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace drunvale {

// Fixed captions of the statistics panel and the consumption indicator. Each value line the
// formatters produce lines up with one line of the matching row captions.

inline constexpr std::string_view kTotalsTitle = "за время диагностики";
inline constexpr std::string_view kRatesTitle = "средние показатели";

inline constexpr std::string_view kColumnEverywhere = "везде";
inline constexpr std::string_view kColumnInJam = "в пробках";
inline constexpr std::string_view kColumnOutsideJam = "вне пробок";
inline constexpr std::string_view kColumnMaximum = "максимум";
inline constexpr std::string_view kColumnCurrent = "текущие";

inline constexpr std::string_view kTotalsRowCaptions =
    " двигатель проработал\n"
    " автомобиль проехал, (км)\n"
    " испортил воздуха, (кг)\n"
    " выжрал топлива, (л)\n"
    " всего на сумму, (руб)";

inline constexpr std::string_view kRatesRowCaptions =
    " скорость полёта, (км/ч)\n"
    " расход воздуха, (кг/ч)\n"
    " расход топлива, (л/ч)\n"
    " потеря денег, (руб/ч)\n"
    " расход топлива, (л/100км)\n"
    " потеря денег, (руб/100км)";

// Beside the indicator, by unit (the third line has two spaces after the arrow).
inline constexpr std::string_view kIndicatorCaptionLitresPerHour =
    "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)";
inline constexpr std::string_view kIndicatorCaptionLitresPer100 =
    "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/100)";

}  // namespace drunvale
