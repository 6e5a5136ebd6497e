#include "sound/signal_request.h"

#include <gtest/gtest.h>

#include "platform/testing/manual_clock.h"
#include "sound/beep_player.h"

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
  BeepPlayer player;
  Parameters params = Defaults();

  void At(int64_t ms) { clock.Set(ms * 1000); }
  void Consume(float value) { signal.SetConsumption(params, value); }
};

TEST_F(SignalStateTest, SameValueChangesNothingNotEvenTheGrid) {
  signal.Activate();
  At(10);
  Consume(5);
  player.Pass(signal);
  const SignalSnapshot before = signal.Snapshot();
  EXPECT_EQ(before.dueTime, 410'000);
  const uint64_t changes = signal.changeCount;
  At(50);
  Consume(5);
  const SignalSnapshot after = signal.Snapshot();
  EXPECT_EQ(after.dueTime, before.dueTime);
  EXPECT_EQ(after.gridOrigin, before.gridOrigin);
  EXPECT_EQ(signal.changeCount, changes);
}

TEST_F(SignalStateTest, ANewSlotStartsNowOnANewGrid) {
  signal.Activate();
  EXPECT_EQ(signal.Snapshot().dueTime, kNever);
  EXPECT_EQ(signal.Snapshot().request.slot, SoundSlot::None);
  At(7);
  Consume(5);
  EXPECT_EQ(signal.Snapshot().dueTime, 7000);
  EXPECT_EQ(signal.Snapshot().gridOrigin, 7000);
  player.Pass(signal);
  At(100);
  Consume(25);
  EXPECT_EQ(signal.Snapshot().dueTime, 100'000);
  EXPECT_EQ(signal.Snapshot().request.slot, SoundSlot::Over);
}

TEST_F(SignalStateTest, ShorterIntervalBringsTheNextBeepForward) {
  signal.Activate();
  At(0);
  Consume(2);  // 1000 ms
  player.Pass(signal);
  EXPECT_EQ(signal.Snapshot().dueTime, 1'000'000);

  At(300);
  Consume(5);  // 400 ms: one new interval after the last beep's start
  EXPECT_EQ(signal.Snapshot().dueTime, 400'000);
  EXPECT_EQ(signal.Snapshot().gridOrigin, 400'000);

  At(399);
  EXPECT_FALSE(player.Pass(signal).play);
  At(400);
  EXPECT_TRUE(player.Pass(signal).play);
  EXPECT_EQ(signal.Snapshot().dueTime, 800'000);

  // Past the new instant already: due at once.
  At(700);
  Consume(10);  // 200 ms
  EXPECT_EQ(signal.Snapshot().dueTime, 600'000);
  EXPECT_TRUE(player.Pass(signal).play);
  EXPECT_EQ(signal.Snapshot().dueTime, 800'000);
}

TEST_F(SignalStateTest, PitchChangeAloneKeepsTheGrid) {
  params.LevelMax.IntervalMs = params.LevelMin.IntervalMs = 500;
  signal.Activate();
  Consume(5);
  player.Pass(signal);
  const SignalSnapshot before = signal.Snapshot();
  At(100);
  Consume(6);
  EXPECT_EQ(signal.Snapshot().dueTime, before.dueTime);
  EXPECT_NE(signal.Snapshot().request.pitch, before.request.pitch);
}

TEST_F(SignalStateTest, ResetPhaseMakesTheNextBeepDueNow) {
  signal.Activate();
  Consume(2);
  player.Pass(signal);
  At(123);
  signal.ResetPhase();
  EXPECT_EQ(signal.Snapshot().dueTime, 123'000);
  EXPECT_EQ(signal.Snapshot().gridOrigin, 123'000);
}

TEST_F(SignalStateTest, SwitchingOnAgainRestartsEvenAnUnchangedRequest) {
  signal.Activate();
  Consume(5);
  player.Pass(signal);
  signal.Activate();
  At(900);
  Consume(5);
  EXPECT_EQ(signal.Snapshot().dueTime, 900'000);
  EXPECT_EQ(signal.Snapshot().request.slot, SoundSlot::MinMax);
}

TEST_F(SignalStateTest, LeavingAContinuousSoundCountsFromItsLastMillisecond) {
  params.LevelMin.IntervalMs = 0;
  params.LevelMax.IntervalMs = 0;
  signal.Activate();
  Consume(5);  // continuous, looped: the player does not poll it
  player.Pass(signal);
  EXPECT_EQ(signal.Snapshot().dueTime, 1000);
  At(2500);
  params.LevelMin.IntervalMs = params.LevelMax.IntervalMs = 300;
  Consume(5);
  // As if re-checked every millisecond since: the last check at 2500 ms, the next due at 2501.
  EXPECT_EQ(signal.Snapshot().dueTime, 2'801'000);
}

}  // namespace
}  // namespace drunvale
