// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/drive_profile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace drunvale::sim {
namespace {

// Longest run of consecutive seconds for which the predicate holds.
template <typename Pred>
double LongestRun(const DriveProfile& profile, Pred pred) {
  double longest = 0, run = 0;
  for (double t = 0; t < profile.CycleSeconds(); t += 1) {
    run = pred(profile.At(t)) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

TEST(DriveProfile, CycleHoldsIdleJamTownAndHighway) {
  DriveProfile profile;
  DriveState idle = profile.At(10);
  EXPECT_EQ(idle.speedKmh, 0);
  EXPECT_NEAR(idle.fuelLh, 0.8, 1e-9);
  EXPECT_TRUE(idle.running);

  // A stop-and-go jam long enough for the default five-minute rule, and shorter slow stretches.
  EXPECT_GE(LongestRun(profile, [](const DriveState& s) { return s.speedKmh < 30; }), 600);
  EXPECT_GE(LongestRun(profile, [](const DriveState& s) { return s.speedKmh >= 85; }), 300);
  double top = 0, fuelCut = 0, topFuel = 0;
  for (double t = 0; t < profile.CycleSeconds(); t += 0.5) {
    DriveState s = profile.At(t);
    top = std::max(top, s.speedKmh);
    topFuel = std::max(topFuel, s.fuelLh);
    if (s.running && s.speedKmh > 0 && s.fuelLh == 0) ++fuelCut;
    EXPECT_GE(s.airKgh, 9.0);
  }
  EXPECT_GE(top, 105);
  EXPECT_LE(top, 110);
  EXPECT_GT(fuelCut, 0);
  EXPECT_GT(topFuel, 5);

  // Deterministic and repeating.
  EXPECT_EQ(profile.At(1500.25).fuelLh, profile.At(1500.25 + profile.CycleSeconds()).fuelLh);
}

TEST(DriveProfile, FieldsRoundToTheBlockUnits) {
  LiveFields f = EncodeLiveFields(DriveState{59.6, 29.1, 10.0, true});
  EXPECT_EQ(f.speedByte, 60);
  EXPECT_EQ(f.airRaw, 291);
  EXPECT_EQ(f.fuelRaw, 500);
  EXPECT_EQ(f.status, 0x00);
  EXPECT_EQ(DecodeAir(291), 291.0f * 0.1f);
  EXPECT_EQ(DecodeFuel(500), 10.0f);

  EXPECT_EQ(EncodeLiveFields(DriveState{0, 9, 0.8, true}).status, 0x02);  // running, at rest
  LiveFields stopped = EncodeLiveFields(DriveState{0, 0, 0, false});
  EXPECT_EQ(stopped.status & 1, 1);
  EXPECT_EQ(stopped.fuelRaw, 0);
}

}  // namespace
}  // namespace drunvale::sim
