// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "sim/sim_records.h"

namespace drunvale::sim {

// Totals a trip computer should reach from the samples a tester accepted.
struct ServedTotals {
  double engineSeconds = 0;
  double distanceKm = 0;
  double airKg = 0;
  double fuelLitres = 0;
  int counted = 0;  // samples integrated (the first of each running stretch only starts the clock)
};

// Integrates the accepted samples as the trip computer does, in double precision and on the
// simulator's send times: the first sample with the engine running starts the time base, every
// later one applies its own rates to the whole interval since the previous counted sample, and a
// sample with the engine stopped ends the stretch until the next running one.
ServedTotals IntegrateServedSamples(const std::vector<ServedSample>& samples);

}  // namespace drunvale::sim
