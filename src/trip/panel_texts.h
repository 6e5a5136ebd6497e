// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "trip/trip_computer.h"
#include "trip/trip_figures.h"

namespace drunvale {

// The statistics panel's value columns. Every line ends with a space; money is litres times
// the fuel price, worked out here and never stored.

// Engine time as h:mm:ss, the hours unbounded.
std::string FormatEngineTime(uint64_t timeMs);

// Upper table, five lines: engine time h:mm:ss (hours unbounded), km, kg, litres, roubles.
std::string FormatTotals(const TripFigures& totals, float fuelPrice);
// Totals of everything, the amounts not yet attributed to either side included.
std::string FormatAllTotals(const TripSnapshot& trip, float fuelPrice);

// Lower table, six lines: km/h, kg/h, l/h, roubles/h, l/100 km, roubles/100 km. A record
// without data shows six dashes; a standing car shows em dashes for the per-100-km lines.
// The maxima column passes maxPer100Km; other columns work it out from the record itself.
std::string FormatRates(const TripFigures& rates, float fuelPrice,
                        std::optional<float> maxPer100Km = std::nullopt);
// Averages over everything, the amounts not yet attributed included.
std::string FormatAllRates(const TripSnapshot& trip, float fuelPrice);

// All value columns of the panel at once, as a full refresh sets them.
struct PanelTexts {
  std::string TotalsEverywhere;
  std::string TotalsInJam;
  std::string TotalsOutsideJam;
  std::string RatesEverywhere;
  std::string RatesInJam;
  std::string RatesOutsideJam;
  std::string RatesMaximum;
  std::string RatesCurrent;
};
PanelTexts FormatPanel(const TripSnapshot& trip, float fuelPrice);

}  // namespace drunvale
