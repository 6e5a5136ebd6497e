// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/testing/manual_clock.h"
#include "trip/panel_texts.h"
#include "trip/trip_computer.h"

namespace drunvale {
namespace {

// Every sample's air and fuel follow from its speed, so a torn record shows.
float AirFor(float speed) {
  return speed * 2 + 1;
}
float FuelFor(float speed) {
  return speed / 4 + 0.5f;
}

void ExpectConsistent(const TripSnapshot& s) {
  ASSERT_EQ(s.Current.TimeMs, s.Maximum.TimeMs);
  ASSERT_LE(s.Current.TimeMs, 1u);
  ASSERT_EQ(s.Current.Air, s.Current.TimeMs ? AirFor(s.Current.Distance) : 0);
  ASSERT_EQ(s.Current.Fuel, s.Current.TimeMs ? FuelFor(s.Current.Distance) : 0);
  ASSERT_LE(s.Current.Distance, s.Maximum.Distance);
  ASSERT_LE(s.Current.Fuel, s.Maximum.Fuel);
  // Only a slow phase holds amounts not yet attributed.
  if (s.State != JamState::Slow) {
    ASSERT_EQ(s.Pending, TripFigures{});
  }
  // Samples come 100 ms apart, so every side holds whole steps.
  ASSERT_EQ(s.Everywhere().TimeMs % 100, 0u);
}

int CountLines(const std::string& text) {
  return 1 + std::count(text.begin(), text.end(), '\n');
}

TEST(TripComputerThreads, ResetsAndReadsNeverSeeAHalfUpdatedTrip) {
  SharedSettings settings;
  {
    Settings s;
    s.Params.JamMinutes = 1;
    settings.Set(s);
  }
  ManualTickClock clock;
  std::atomic<int> handed{0};
  TripComputer trip(settings, clock, [&](float) { handed.fetch_add(1); });

  // The jthread stops and joins even when an assertion leaves the test early.
  std::jthread worker([&](std::stop_token stop) {
    // 100 s phases of slow and of free driving, so jams come and go; now and then a stop.
    const float slow[] = {0, 10, 29.9f, 5};
    const float fast[] = {30, 60, 120, 45};
    for (uint32_t i = 0; !stop.stop_requested(); ++i) {
      clock.Advance(100);
      const float speed = (i / 1000) % 2 ? fast[i % 4] : slow[i % 4];
      trip.AddSample(speed, AirFor(speed), FuelFor(speed), i % 2999 != 0);
    }
  });

  for (int reads = 1; reads <= 20000; ++reads) {
    const TripSnapshot s = trip.Snapshot();
    ASSERT_NO_FATAL_FAILURE(ExpectConsistent(s));
    const PanelTexts p = FormatPanel(s, 30);
    ASSERT_EQ(CountLines(p.TotalsEverywhere), 5);
    ASSERT_EQ(CountLines(p.RatesEverywhere), 6);
    if (reads % 500 == 0) trip.Reset();
    if (reads % 7 == 0) trip.SetLitresPerHour(!trip.LitresPerHour());
  }
  worker.request_stop();
  worker.join();
  ExpectConsistent(trip.Snapshot());
  EXPECT_GT(handed.load(), 0);
}

}  // namespace
}  // namespace drunvale
