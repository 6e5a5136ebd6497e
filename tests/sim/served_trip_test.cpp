// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/served_trip.h"

#include <gtest/gtest.h>

namespace drunvale::sim {
namespace {

using namespace std::chrono_literals;

ServedSample Sample(SimTime at, float speed, float air, float fuel, bool running = true) {
  ServedSample s;
  s.requestAt = at - 30ms;
  s.sentAt = at;
  s.sent = true;
  s.speed = speed;
  s.air = air;
  s.fuel = fuel;
  s.running = running;
  return s;
}

TEST(IntegrateServedSamples, AppliesEachSampleToTheIntervalBeforeIt) {
  SimTime t0 = SimTime{} + 100s;
  std::vector<ServedSample> samples{
      Sample(t0, 99, 99, 99),  // starts the clock only
      Sample(t0 + 500ms, 60, 20, 5),
      Sample(t0 + 700ms, 99, 99, 99, false),  // engine stopped: the stretch ends
      Sample(t0 + 900ms, 99, 99, 99),         // a new clock
      Sample(t0 + 1200ms, 99, 99, 99),        // spoilt on the line: the tester never saw it
      Sample(t0 + 1900ms, 30, 10, 2),
  };
  samples[4].intact = false;
  ServedTotals totals = IntegrateServedSamples(samples);
  EXPECT_EQ(totals.counted, 2);
  EXPECT_NEAR(totals.engineSeconds, 0.5 + 1.0, 1e-9);
  EXPECT_NEAR(totals.distanceKm, 60 * 0.5 / 3600 + 30 * 1.0 / 3600, 1e-12);
  EXPECT_NEAR(totals.airKg, 20 * 0.5 / 3600 + 10 * 1.0 / 3600, 1e-12);
  EXPECT_NEAR(totals.fuelLitres, 5 * 0.5 / 3600 + 2 * 1.0 / 3600, 1e-12);
}

}  // namespace
}  // namespace drunvale::sim
