// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/signal_request.h"

#include <gtest/gtest.h>

#include "platform/testing/manual_clock.h"

namespace drunvale {
namespace {

Parameters Defaults() {
  return Settings().Params;
}

struct BandRow {
  float value;
  int32_t interval;
  float pitch;
};

TEST(ClassifyConsumption, DefaultBandFollowsTheTable) {
  const BandRow rows[] = {{0.2f, 5000, 442.2f}, {0.5f, 4000, 445.5f}, {1, 2000, 451},
                          {2, 1000, 462},       {5, 400, 495},        {10, 200, 550},
                          {15, 133, 605},       {19.9f, 101, 658.9f}, {0.4f, 5000, 444.4f}};
  for (const BandRow& row : rows) {
    SCOPED_TRACE(row.value);
    SignalRequest r = ClassifyConsumption(Defaults(), row.value);
    EXPECT_EQ(r.slot, SoundSlot::MinMax);
    EXPECT_EQ(r.intervalMs, row.interval);
    EXPECT_NEAR(r.pitch, row.pitch, 0.01);
    EXPECT_TRUE(r.loop);
  }
}

TEST(ClassifyConsumption, ZeroAndOverAtTheirBoundaries) {
  Parameters p = Defaults();
  EXPECT_EQ(ClassifyConsumption(p, 0), (SignalRequest{0, SoundSlot::Zero, 370, true}));
  EXPECT_EQ(ClassifyConsumption(p, -3), (SignalRequest{0, SoundSlot::Zero, 370, true}));
  EXPECT_EQ(ClassifyConsumption(p, 20), (SignalRequest{0, SoundSlot::Over, 740, true}));
  EXPECT_EQ(ClassifyConsumption(p, 100000), (SignalRequest{0, SoundSlot::Over, 740, true}));
  EXPECT_EQ(ClassifyConsumption(p, 19.99f).slot, SoundSlot::MinMax);

  p.OverLimit = 0;
  EXPECT_EQ(ClassifyConsumption(p, 0.01f).slot, SoundSlot::Over);
  EXPECT_EQ(ClassifyConsumption(p, 0).slot, SoundSlot::Zero);
}

TEST(ClassifyConsumption, WavLevelsUseSampleRateAndAutoRepeat) {
  Parameters p = Defaults();
  p.LevelZero = {250, 370, false, 22050, false};
  p.LevelOver = {0, 740, false, 8000, true};
  EXPECT_EQ(ClassifyConsumption(p, 0), (SignalRequest{250, SoundSlot::Zero, 22050, false}));
  EXPECT_EQ(ClassifyConsumption(p, 30), (SignalRequest{0, SoundSlot::Over, 8000, true}));

  // The band plays the Min level's sound; a falling rate falls as consumption rises, and the
  // Max level's own loop flag is not looked at.
  p.LevelMin = {1000, 440, false, 44100, true};
  p.LevelMax = {100, 660, true, 22050, false};
  SignalRequest r = ClassifyConsumption(p, 5);
  EXPECT_FLOAT_EQ(r.pitch, 44100 - 0.25f * 22050);
  EXPECT_TRUE(r.loop);
  EXPECT_LT(ClassifyConsumption(p, 15).pitch, r.pitch);
}

TEST(ClassifyConsumption, IntervalEdgeCases) {
  Parameters p = Defaults();
  p.LevelMin.IntervalMs = p.LevelMax.IntervalMs = 300;
  for (float v : {0.01f, 10.0f, 19.9f})
    EXPECT_EQ(ClassifyConsumption(p, v).intervalMs, 300);

  p.LevelMin.IntervalMs = p.LevelMax.IntervalMs = 0;
  EXPECT_EQ(ClassifyConsumption(p, 10).intervalMs, 0);

  p.LevelMax.IntervalMs = 500;  // g = 0 < h: continuous all the way
  for (float v : {0.01f, 10.0f, 19.9f})
    EXPECT_EQ(ClassifyConsumption(p, v).intervalMs, 0);

  // g < h: the interval grows towards h, reaching it once g * L / h >= L - value.
  p.LevelMin.IntervalMs = 100;
  p.LevelMax.IntervalMs = 1000;
  EXPECT_EQ(ClassifyConsumption(p, 0.01f).intervalMs, 100);
  EXPECT_EQ(ClassifyConsumption(p, 10).intervalMs, 200);
  EXPECT_EQ(ClassifyConsumption(p, 17).intervalMs, 667);
  EXPECT_EQ(ClassifyConsumption(p, 18).intervalMs, 1000);
  EXPECT_EQ(ClassifyConsumption(p, 19.9f).intervalMs, 1000);
}

TEST(TicksPerMs, RoundsToTheNearestTick) {
  EXPECT_EQ(TicksPerMs(1'000'000'000), 1'000'000);
  EXPECT_EQ(TicksPerMs(3'579'545), 3580);
  EXPECT_EQ(TicksPerMs(3'579'499), 3579);
  EXPECT_EQ(TicksPerMs(0), 10000);
}

class SignalStateTest : public ::testing::Test {
 protected:
  ManualHighResClock clock{1'000'000};  // 1000 ticks per ms
  SignalState signal{clock};
  Parameters params = Defaults();

  void At(int64_t ms) { clock.Set(ms * 1000); }
  void Consume(float value) { signal.SetConsumption(params, value); }
};

TEST_F(SignalStateTest, OnlyANewSlotAResetOrSwitchingOnStartsANewGrid) {
  At(3);
  signal.Activate();
  const SignalSnapshot on = signal.Snapshot();
  EXPECT_EQ(on.request.slot, SoundSlot::None);
  EXPECT_EQ(on.gridOrigin, 3000);

  At(7);
  Consume(5);
  EXPECT_EQ(signal.Snapshot().restarts, on.restarts + 1);
  EXPECT_EQ(signal.Snapshot().gridOrigin, 7000);

  // The same value again changes nothing and wakes nobody; a new interval or pitch is a change
  // but no new grid.
  const uint64_t changes = signal.changeCount;
  At(50);
  Consume(5);
  EXPECT_EQ(signal.changeCount, changes);
  Consume(10);
  EXPECT_EQ(signal.changeCount, changes + 1);
  EXPECT_EQ(signal.Snapshot().restarts, on.restarts + 1);
  EXPECT_EQ(signal.Snapshot().request.intervalMs, 200);

  At(123);
  signal.ResetPhase();
  EXPECT_EQ(signal.Snapshot().restarts, on.restarts + 2);
  EXPECT_EQ(signal.Snapshot().gridOrigin, 123'000);

  // Switching on again restarts even an unchanged request.
  signal.Activate();
  Consume(10);
  EXPECT_EQ(signal.Snapshot().restarts, on.restarts + 4);
  EXPECT_EQ(signal.Snapshot().request.slot, SoundSlot::MinMax);
}

}  // namespace
}  // namespace drunvale
