// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_figures.h"

#include "dash/chart_scale.h"
#include "dash/dash_texts.h"
#include "trip/fixed_format.h"
#include "trip/indicator_text.h"

namespace drunvale {
namespace {

std::string Fixed(double value, int precision, const char* unit) {
  std::string text;
  AppendFixed(text, value, precision);
  return text + " " + unit;
}

}  // namespace

std::string UnitName(bool litresPerHour) {
  return litresPerHour ? "л/ч" : "л/100 км";
}

DashFigures FormatDashFigures(const TripSnapshot& trip, bool litresPerHour, float fuelPrice) {
  const TripFigures all = trip.Everywhere();
  const std::optional<float> average = TripAverage(trip, litresPerHour);
  DashFigures figures;
  figures.average = std::string(dash_text::kAverage) + " " +
                    (average ? Fixed(*average, 1, UnitName(litresPerHour).c_str())
                             : "— " + UnitName(litresPerHour));
  figures.distance = Fixed(all.Distance, 1, "км");
  figures.litres = Fixed(all.Fuel, 2, "л");
  figures.money = Fixed(static_cast<double>(all.Fuel) * fuelPrice, 2, "руб");
  return figures;
}

DashFrame MakeDashFrame(const TripSnapshot& trip, bool litresPerHour, const Parameters& params) {
  DashFrame frame;
  frame.digits = FormatIndicator(trip.Current, litresPerHour);
  frame.litresPerHour = litresPerHour;
  frame.figures = FormatDashFigures(trip, litresPerHour, params.FuelPrice);
  frame.average = TripAverage(trip, litresPerHour);
  frame.overLimit = static_cast<float>(params.OverLimit);
  return frame;
}

}  // namespace drunvale
