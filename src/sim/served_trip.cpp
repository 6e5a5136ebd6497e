// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/served_trip.h"

#include <optional>

namespace drunvale::sim {

ServedTotals IntegrateServedSamples(const std::vector<ServedSample>& samples) {
  ServedTotals totals;
  std::optional<SimTime> last;
  for (const ServedSample& s : samples) {
    if (!s.Accepted()) continue;
    if (!s.running) {
      last.reset();
      continue;
    }
    if (last) {
      double seconds = std::chrono::duration<double>(s.sentAt - *last).count();
      double hours = seconds / 3600.0;
      totals.engineSeconds += seconds;
      totals.distanceKm += s.speed * hours;
      totals.airKg += s.air * hours;
      totals.fuelLitres += s.fuel * hours;
      ++totals.counted;
    }
    last = s.sentAt;
  }
  return totals;
}

}  // namespace drunvale::sim
