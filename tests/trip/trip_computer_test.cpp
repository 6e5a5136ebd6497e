// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/manual_clock.h"
#include "trip/trip_computer.h"

namespace drunvale {
namespace {

constexpr float kHoursPerMs = 2.7777778e-7f;

// The increment a counted sample adds, worked out the way the trip computer must.
TripFigures Increment(uint32_t dt, float speed, float air, float fuel) {
  const float hours = static_cast<float>(dt) * kHoursPerMs;
  return {dt, speed * hours, air * hours, fuel * hours};
}

// Default settings: jams are 5 minutes below 30 km/h.
class TripComputerTest : public ::testing::Test {
 protected:
  void At(uint32_t ms, float speed, float air = 0, float fuel = 0, bool running = true) {
    clock.Set(ms);
    trip.AddSample(speed, air, fuel, running);
  }
  void ChangeJamRule(uint8_t minutes, uint8_t speed) {
    Settings s = settings.Get();
    s.Params.JamMinutes = minutes;
    s.Params.JamSpeed = speed;
    settings.Set(s);
  }

  SharedSettings settings;
  ManualTickClock clock;
  std::vector<float> handed;
  TripComputer trip{settings, clock, [this](float c) { handed.push_back(c); }};
};

TEST_F(TripComputerTest, IntegratesTheIntervalAtTheSampleRatesInSinglePrecision) {
  At(1000, 0);
  At(1500, 60, 20, 5);
  const TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.OutsideJam, Increment(500, 60, 20, 5));
  EXPECT_NEAR(s.OutsideJam.Distance, 0.0083333f, 1e-7);
  EXPECT_NEAR(s.OutsideJam.Fuel, 0.00069444f, 1e-8);
  EXPECT_EQ(s.Pending, TripFigures{});
  EXPECT_EQ(s.Current, (TripFigures{1, 60, 20, 5}));
  EXPECT_EQ(s.Maximum, (TripFigures{1, 60, 20, 5}));
  EXPECT_EQ(handed, std::vector<float>{5.0f});

  trip.SetLitresPerHour(false);
  At(2000, 60, 20, 5);
  EXPECT_EQ(handed.back(), 5.0f / 60.0f * 100.0f);
}

TEST_F(TripComputerTest, FirstSampleAfterResetOnlyStartsTheTimeBase) {
  At(0, 0);
  At(1000, 10, 10, 4);  // slow: the amounts are still pending
  trip.SetLitresPerHour(false);
  trip.Reset();
  handed.clear();

  At(5000, 0, 0, 0, false);  // an engine that is off keeps the trip idle
  At(7000, 80, 30, 9);
  TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.Everywhere(), TripFigures{});
  EXPECT_EQ(s.Current, TripFigures{});
  EXPECT_EQ(s.Maximum, TripFigures{});
  EXPECT_EQ(s.MaxPer100Km, 0.0f);
  EXPECT_EQ(s.State, JamState::Slow);
  EXPECT_FALSE(s.LitresPerHour);
  EXPECT_TRUE(handed.empty());

  At(7117, 11, 5, 2);  // a distance that double precision would round differently
  EXPECT_EQ(trip.Snapshot().Pending, Increment(117, 11, 5, 2));
}

TEST_F(TripComputerTest, SlowStartFollowedByDrivingWithinTheJamTimeCountsOutside) {
  for (uint32_t t = 0; t <= 240000; t += 10000)
    At(t, 10, 5, 1);
  const TripSnapshot slow = trip.Snapshot();
  EXPECT_EQ(slow.State, JamState::Slow);
  EXPECT_EQ(slow.Pending.TimeMs, 240000u);
  EXPECT_EQ(slow.Everywhere().TimeMs, 240000u);
  EXPECT_EQ(slow.InJam.TimeMs + slow.OutsideJam.TimeMs, 0u);

  // Reaching the jam speed wins even when this sample arrives after the jam time.
  At(300000, 60, 5, 1);
  const TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Moving);
  EXPECT_EQ(s.OutsideJam.TimeMs, 300000u);
  EXPECT_EQ(s.InJam, TripFigures{});
  EXPECT_EQ(s.Pending, TripFigures{});
  EXPECT_EQ(s.OutsideJam.Distance, slow.Pending.Distance + Increment(60000, 60, 5, 1).Distance);
}

TEST_F(TripComputerTest, JamTimeReachedCountsFromTheFirstSampleAndEndsInTheJam) {
  for (uint32_t t = 0; t < 300000; t += 10000)
    At(t, 0, 5, 1);
  EXPECT_EQ(trip.Snapshot().Pending.TimeMs, 290000u);
  At(300000, 29.9f, 5, 1);
  TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Jammed);
  EXPECT_EQ(s.InJam.TimeMs, 300000u);
  EXPECT_EQ(s.Pending, TripFigures{});

  At(310000, 30, 5, 1);  // exactly the jam speed is not slow, and still counts in the jam
  s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Moving);
  EXPECT_EQ(s.InJam.TimeMs, 310000u);

  At(320000, 20, 5, 1);  // the first slow sample still counts outside
  s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Slow);
  EXPECT_EQ(s.OutsideJam.TimeMs, 10000u);
  At(330000, 30, 5, 1);
  EXPECT_EQ(trip.Snapshot().State, JamState::Moving);
  EXPECT_EQ(trip.Snapshot().OutsideJam.TimeMs, 20000u);

  At(340000, 20, 5, 1);
  At(639000, 20, 5, 1);
  EXPECT_EQ(trip.Snapshot().State, JamState::Slow);
  At(640000, 20, 5, 1);
  EXPECT_EQ(trip.Snapshot().InJam.TimeMs, 310000u + 300000u);
}

TEST_F(TripComputerTest, EngineStopEndsTheTripWithoutCountingTheSample) {
  At(0, 0, 5, 1);
  At(120000, 5, 5, 1);
  const TripSnapshot before = trip.Snapshot();
  At(150000, 0, 0, 0, false);
  TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Idle);
  EXPECT_EQ(s.OutsideJam, before.Pending);
  EXPECT_EQ(s.Pending, TripFigures{});
  EXPECT_EQ(s.Current, before.Current);
  EXPECT_EQ(handed.size(), 1u);

  // Jammed, stopped, restarted: the new jam needs its own five minutes.
  At(200000, 0, 5, 1);
  for (uint32_t t = 210000; t <= 500000; t += 10000)
    At(t, 0, 5, 1);
  ASSERT_EQ(trip.Snapshot().State, JamState::Jammed);
  const uint32_t jammed = trip.Snapshot().InJam.TimeMs;
  At(505000, 0, 0, 0, false);
  EXPECT_EQ(trip.Snapshot().InJam.TimeMs, jammed);
  At(600000, 0, 5, 1);
  At(899000, 0, 5, 1);
  s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Slow);
  EXPECT_EQ(s.Pending.TimeMs, 299000u);
  At(900000, 0, 5, 1);
  EXPECT_EQ(trip.Snapshot().InJam.TimeMs, jammed + 300000u);
}

TEST_F(TripComputerTest, IntervalsSurviveTickWrapAndGapsWithinASession) {
  clock.Set(0xFFFFFF00u);
  trip.AddSample(0, 0, 0, true);
  clock.Set(0x100u);
  trip.AddSample(40, 10, 3, true);
  EXPECT_EQ(trip.Snapshot().OutsideJam, Increment(512, 40, 10, 3));

  // A gap the link did not call a pause (retries within one session) is integrated at the
  // next sample's rates, however long.
  clock.Advance(3600000);
  trip.AddSample(60, 20, 6, true);
  TripFigures expected = Increment(512, 40, 10, 3);
  expected.Add(Increment(3600000, 60, 20, 6));
  EXPECT_EQ(trip.Snapshot().OutsideJam, expected);
}

TEST_F(TripComputerTest, APauseInPollingIsNotChargedToTheTrip) {
  At(0, 10, 5, 1);
  At(60000, 10, 5, 1);  // a minute slow, held apart
  const TripFigures pending = trip.Snapshot().Pending;
  ASSERT_EQ(pending.TimeMs, 60000u);

  // An hour parked with the ignition off: the first sample after it counts with nothing
  // added, and the sound hears its consumption at once.
  trip.PollingPaused();
  handed.clear();
  const uint32_t back = 60000 + 3600000;
  At(back, 12, 6, 2);
  TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.Pending, pending);
  EXPECT_EQ(s.State, JamState::Slow);
  EXPECT_EQ(s.Current, (TripFigures{1, 12, 6, 2}));
  EXPECT_EQ(handed, std::vector<float>{2.0f});

  // The next is integrated from there; the slow stretch goes on counting from its minute, so
  // the jam is recognised after five minutes of polling, not at once.
  At(back + 1000, 12, 6, 2);
  TripFigures expected = pending;
  expected.Add(Increment(1000, 12, 6, 2));
  EXPECT_EQ(trip.Snapshot().Pending, expected);
  At(back + 239000, 12, 6, 2);
  EXPECT_EQ(trip.Snapshot().State, JamState::Slow);
  At(back + 240000, 12, 6, 2);
  s = trip.Snapshot();
  EXPECT_EQ(s.State, JamState::Jammed);
  EXPECT_EQ(s.InJam.TimeMs, 300000u);
}

TEST_F(TripComputerTest, ConsumptionPer100KmAndMaximaPerField) {
  trip.SetLitresPerHour(false);
  At(0, 0);
  At(1000, 90, 20, 4);
  At(2000, 20, 30, 9);
  At(3000, 0, 10, 2);
  At(4000, 0.5f, 10, 2);
  const float per100 = 9.0f / 20.0f * 100.0f;
  EXPECT_EQ(handed, (std::vector<float>{4.0f / 90.0f * 100.0f, per100, 100000.0f, 100000.0f}));
  TripSnapshot s = trip.Snapshot();
  EXPECT_EQ(s.Maximum, (TripFigures{1, 90, 30, 9}));
  EXPECT_EQ(s.MaxPer100Km, per100);
  EXPECT_EQ(s.Current, (TripFigures{1, 0.5f, 10, 2}));

  trip.SetLitresPerHour(true);
  At(5000, 0, 10, 2.5f);
  EXPECT_EQ(handed.back(), 2.5f);
}

TEST_F(TripComputerTest, JamRuleIsReadAtEverySample) {
  At(0, 10);
  At(60000, 10);
  ChangeJamRule(1, 30);  // a slow phase already a minute long is now a jam
  At(70000, 10);
  EXPECT_EQ(trip.Snapshot().InJam.TimeMs, 70000u);

  ChangeJamRule(1, 5);  // 10 km/h is no longer slow
  At(80000, 10);
  EXPECT_EQ(trip.Snapshot().State, JamState::Moving);
  EXPECT_EQ(trip.Snapshot().InJam.TimeMs, 80000u);
}

TEST_F(TripComputerTest, SinkIsCalledOutsideTheLock) {
  TripComputer* self = nullptr;
  int calls = 0;
  TripComputer reentrant{settings, clock, [&](float) {
                           self->Snapshot();
                           self->SetLitresPerHour(self->LitresPerHour());
                           ++calls;
                         }};
  self = &reentrant;
  reentrant.AddSample(0, 0, 0, true);
  clock.Advance(100);
  reentrant.AddSample(10, 1, 1, true);
  EXPECT_EQ(calls, 1);
}

TEST(TripFiguresTest, PerHourKeepsAnEmptyRecordAndScalesInSinglePrecision) {
  EXPECT_EQ((TripFigures{0, 1, 2, 3}).PerHour(), (TripFigures{0, 1, 2, 3}));
  const float k = 3600000.0f / 7000.0f;
  EXPECT_EQ((TripFigures{7000, 1, 2, 3}).PerHour(), (TripFigures{3600000, k, 2 * k, 3 * k}));
  EXPECT_EQ(Sum({0xFFFFFFFFu, 1, 0, 0}, {2, 1, 0, 0}), (TripFigures{1, 2, 0, 0}));
}

}  // namespace
}  // namespace drunvale
