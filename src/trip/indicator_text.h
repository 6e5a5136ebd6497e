// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "trip/trip_figures.h"

namespace drunvale {

// The current consumption in litres per 100 km as the indicator shows it: "8^0" while the car
// stands, "99+" from 99 up, otherwise one decimal.
std::string FormatPer100(const TripFigures& current);

// The indicator's digits in either unit; litres per hour have no upper limit.
std::string FormatIndicator(const TripFigures& current, bool litresPerHour);

// The caption beside the indicator naming its unit.
std::string_view IndicatorCaption(bool litresPerHour);

}  // namespace drunvale
