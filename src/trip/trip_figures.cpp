// SPDX-License-Identifier: GPL-3.0-or-later
#include "trip/trip_figures.h"

namespace drunvale {

void TripFigures::Add(const TripFigures& other) {
  TimeMs += other.TimeMs;
  Distance += other.Distance;
  Air += other.Air;
  Fuel += other.Fuel;
}

TripFigures TripFigures::PerHour() const {
  if (TimeMs == 0) return *this;
  const float k = 3600000.0f / static_cast<float>(TimeMs);
  return {3600000u, Distance * k, Air * k, Fuel * k};
}

TripFigures Sum(const TripFigures& a, const TripFigures& b) {
  TripFigures sum = a;
  sum.Add(b);
  return sum;
}

}  // namespace drunvale
