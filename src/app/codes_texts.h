// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/trouble_codes.h"

namespace drunvale {

// What the driver is told before a clear, on the terminal and in the window.
inline constexpr std::string_view kClearCodesWarning =
    "Стереть коды неисправностей? Лампа погаснет; на машине с OBD-II сотрутся и стоп-кадр, и "
    "готовность систем самодиагностики, которые восстановятся за несколько поездок.";
// The terminal's form of it, waiting for y.
std::string ClearCodesQuestion();

// The lamp's line where the car tells it ("Лампа неисправности горит (кодов: 2)."), else "".
std::string LampText(const CodesReport& report);

// The report's lines for the terminal: the lamp where the car tells it, one code a line with
// its system and whether it is pending, or why there are none.
std::string CodesText(const CodesReport& report);

// What a report that holds no codes means ("" for a read).
std::string CodesOutcomeText(CodesReport::Outcome outcome);

// The report as the console prints it, one line each, "-- " before the heading.
std::vector<std::string> CodesReportLines(const CodesReport& report);

}  // namespace drunvale
