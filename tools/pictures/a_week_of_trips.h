// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "journal/journal_rows.h"

namespace drunvale {

// A week of trips: one a day to work and back, a power cut on Wednesday evening.
inline std::string AWeekOfTrips() {
  std::string csv = TripsHeader() + "\n";
  const int64_t monday = 1714348800;  // 2024-04-29 00:00 UTC
  for (int day = 0; day < 5; ++day) {
    for (int leg = 0; leg < 2; ++leg) {
      TripRecord trip;
      trip.start = {monday + day * 86400 + (leg == 0 ? 5 * 3600 : 14 * 3600 + 1800), 180};
      trip.end = {trip.start.unixSeconds + 2400 + 300 * leg, 180};
      trip.how = day == 2 && leg == 1 ? TripEnd::PowerLost : TripEnd::Reset;
      trip.everywhere = {2100000u + 300000u * leg, 18.4f + day, 61.0f, 1.82f + 0.1f * day};
      trip.fuelPrice = 52.5f;
      trip.factor = 10420;
      trip.port = "/dev/ttyUSB0";
      csv += FormatTripRow(trip) + "\n";
    }
  }
  return csv;
}

}  // namespace drunvale
