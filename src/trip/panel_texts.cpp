// SPDX-License-Identifier: GPL-3.0-or-later
#include "trip/panel_texts.h"

#include <algorithm>
#include <cstdio>

#include "trip/fixed_format.h"

namespace drunvale {

namespace {

constexpr std::string_view kNoRates = "- \n- \n- \n- \n- \n- ";
constexpr std::string_view kStandingPer100 = "——— \n——— ";
// Below this speed there is no consumption per 100 km to show.
constexpr float kStandingSpeed = 0.00001f;

void AppendLine(std::string& out, float value, bool last = false) {
  AppendFixed(out, value, 2);
  out += last ? " " : " \n";
}

}  // namespace

std::string FormatEngineTime(uint64_t timeMs) {
  const uint64_t seconds = timeMs / 1000;
  const uint64_t minutes = seconds / 60;
  char time[32];
  std::snprintf(time, sizeof time, "%llu:%02u:%02u", static_cast<unsigned long long>(minutes / 60),
                static_cast<unsigned>(minutes % 60), static_cast<unsigned>(seconds % 60));
  return time;
}

std::string FormatTotals(const TripFigures& totals, float fuelPrice) {
  std::string text = FormatEngineTime(totals.TimeMs) + " \n";
  AppendLine(text, totals.Distance);
  AppendLine(text, totals.Air);
  AppendLine(text, totals.Fuel);
  AppendLine(text, totals.Fuel * fuelPrice, true);
  return text;
}

std::string FormatAllTotals(const TripSnapshot& trip, float fuelPrice) {
  return FormatTotals(trip.Everywhere(), fuelPrice);
}

std::string FormatRates(const TripFigures& rates, float fuelPrice,
                        std::optional<float> maxPer100Km) {
  if (rates.TimeMs == 0) return std::string(kNoRates);

  std::string text;
  AppendLine(text, rates.Distance);
  AppendLine(text, rates.Air);
  AppendLine(text, rates.Fuel);
  AppendLine(text, rates.Fuel * fuelPrice);
  if (rates.Distance < kStandingSpeed) {
    text += kStandingPer100;
    return text;
  }
  const float per100 = maxPer100Km ? *maxPer100Km : rates.Fuel * 100.0f / rates.Distance;
  AppendLine(text, per100);
  AppendLine(text, per100 * fuelPrice, true);
  return text;
}

std::string FormatAllRates(const TripSnapshot& trip, float fuelPrice) {
  return FormatRates(trip.Everywhere().PerHour(), fuelPrice);
}

PanelTexts FormatPanel(const TripSnapshot& trip, float fuelPrice) {
  return {
      FormatAllTotals(trip, fuelPrice),
      FormatTotals(trip.InJam, fuelPrice),
      FormatTotals(trip.OutsideJam, fuelPrice),
      FormatAllRates(trip, fuelPrice),
      FormatRates(trip.InJam.PerHour(), fuelPrice),
      FormatRates(trip.OutsideJam.PerHour(), fuelPrice),
      FormatRates(trip.Maximum, fuelPrice, trip.MaxPer100Km),
      FormatRates(trip.Current, fuelPrice),
  };
}

}  // namespace drunvale
