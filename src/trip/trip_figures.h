// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

// Amounts of a trip, or rates, or one sample's values; TimeMs tells them apart (see below).
// Accumulated: TimeMs of engine time, km, kg of air, litres of fuel.
// Rates (PerHour): TimeMs = 3600000, km/h, kg/h, l/h.
// Maximum and current: TimeMs = 1 once a sample has been counted.
// In every kind TimeMs = 0 means "no data".
struct TripFigures {
  uint32_t TimeMs = 0;
  float Distance = 0;
  float Air = 0;
  float Fuel = 0;

  // Single precision throughout; TimeMs wraps.
  void Add(const TripFigures& other);
  // Averages per hour over TimeMs; a record without time comes back unchanged.
  TripFigures PerHour() const;

  bool operator==(const TripFigures&) const = default;
};

TripFigures Sum(const TripFigures& a, const TripFigures& b);

enum class JamState : int32_t { Idle = 0, Slow = 1, Jammed = 2, Moving = 3 };

}  // namespace drunvale
