// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "trip/trip_computer.h"

namespace drunvale {

// The unit as the dash names it under its digits.
std::string UnitName(bool litresPerHour);

// The trip's key figures under the dash's digits, each a short line with its unit: the
// average consumption in the unit shown ("—" while there is none), the distance, the litres
// and the money, the last three as the panel's "везде" column counts them.
struct DashFigures {
  std::string average;
  std::string distance;
  std::string litres;
  std::string money;

  bool operator==(const DashFigures&) const = default;
};

DashFigures FormatDashFigures(const TripSnapshot& trip, bool litresPerHour, float fuelPrice);

// Everything the dash shows at one refresh but the chart's points.
struct DashFrame {
  std::string digits;  // as the indicator shows them
  bool litresPerHour = true;
  DashFigures figures;
  std::optional<float> average;
  float overLimit = 0;  // the sound's Over level, in the unit shown
};

DashFrame MakeDashFrame(const TripSnapshot& trip, bool litresPerHour, const Parameters& params);

}  // namespace drunvale
