// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

// A moment as the user's calendar and clock name it: seconds since 1970-01-01 UTC and the
// local offset from UTC in force at that moment (daylight saving included).
struct LocalTime {
  int64_t unixSeconds = 0;
  int32_t utcOffsetMinutes = 0;

  bool operator==(const LocalTime&) const = default;
};

// The calendar clock, which the user or the network may set; for stamping journal rows, never
// for measuring intervals (the tick clock does that).
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalTime Now() = 0;
};

WallClock& SystemWallClock();

}  // namespace drunvale
