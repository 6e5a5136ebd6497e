// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dash/chart_scale.h"
#include "dash/dash_colours.h"
#include "dash/dash_figures.h"
#include "dash/dash_look.h"
#include "dash/sparkline.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_user_store.h"
#include "settings/settings.h"

namespace drunvale {
namespace {

// A trip computer on the manual clock with the display refreshing every 333 ms, as the program
// runs it; the jam rule is one minute below 30 km/h.
struct Drive {
  ManualTickClock clock{0xFFFF0000u};  // wraps within the first few minutes
  SharedSettings settings;
  TripComputer trip{settings, clock, nullptr};
  ConsumptionHistory history;

  Drive() {
    Settings s;
    s.Params.JamMinutes = 1;
    s.Params.JamSpeed = 30;
    settings.Set(s);
  }
  // Samples every 111 ms unless silent; a refresh every 333 ms.
  void Run(uint32_t ms, float speed, float fuel, bool silent = false) {
    for (uint32_t t = 0; t < ms; t += 111) {
      if (!silent) trip.AddSample(speed, 0, fuel, true);
      if (t % 333 == 0) history.Record(clock.NowMs(), trip.Snapshot());
      clock.Advance(111);
    }
  }
  int Count(PointKind kind, size_t ages) const {
    int n = 0;
    for (size_t age = 0; age < ages && age < history.Size(); ++age)
      n += history.At(age).kind == kind;
    return n;
  }
};

TEST(ConsumptionHistoryTest, OnePointASecondWithGapsWhereNoSampleWasCounted) {
  Drive d;
  d.Run(10000, 60, 6);
  EXPECT_NEAR(d.history.Size(), 10, 1);
  EXPECT_EQ(d.history.At(0).fuel, 6);
  EXPECT_EQ(d.history.At(0).speed, 60);
  EXPECT_EQ(d.history.At(0).kind, PointKind::Moving);

  // The control unit falls silent for 5 s while the display refreshes: gaps, then data again.
  d.trip.PollingPaused();
  d.Run(5000, 60, 6, true);
  d.Run(3000, 80, 9);
  EXPECT_EQ(d.history.At(0).fuel, 9);
  EXPECT_NEAR(d.Count(PointKind::Gap, 9), 5, 1);

  // No refresh at all for a minute (the link stopped): a minute of gaps when it comes back.
  const uint64_t before = d.history.Revision();
  d.clock.Advance(60000);
  d.Run(1000, 80, 9);
  EXPECT_GT(d.history.Revision(), before);
  EXPECT_NEAR(d.Count(PointKind::Gap, 61), 59, 1);
  EXPECT_LE(d.history.Size(), ConsumptionHistory::kCapacity);

  // Longer than the ring: it holds half an hour of points, all gaps but the newest.
  d.clock.Advance(3600000);
  d.Run(400, 80, 9);
  EXPECT_EQ(d.history.Size(), ConsumptionHistory::kCapacity);
  EXPECT_EQ(d.Count(PointKind::Gap, ConsumptionHistory::kCapacity),
            static_cast<int>(ConsumptionHistory::kCapacity) - 1);
}

TEST(ConsumptionHistoryTest, ASlowStretchBecomesJamBackToItsStartOnlyWhenTheRuleCountsIt) {
  Drive d;
  d.Run(5000, 60, 6);
  // 40 s slow, then fast again: not a jam, and nothing is shaded.
  d.Run(40000, 10, 2);
  d.Run(5000, 60, 6);
  EXPECT_EQ(d.Count(PointKind::Jam, 60), 0);
  EXPECT_NEAR(d.Count(PointKind::Slow, 60), 40, 1);

  // 90 s slow with a silence inside: from the minute on a jam, shaded back to where it began.
  d.Run(20000, 10, 2);
  d.trip.PollingPaused();
  d.Run(10000, 10, 2, true);
  d.Run(60000, 10, 2);
  EXPECT_EQ(d.history.At(0).kind, PointKind::Jam);
  EXPECT_NEAR(d.Count(PointKind::Jam, 90), 80, 1);
  EXPECT_NEAR(d.Count(PointKind::Gap, 90), 10, 1);
  // The earlier slow stretch, counted outside the jam, stays unshaded.
  EXPECT_NEAR(d.Count(PointKind::Slow, 200), 40, 1);
}

TEST(ChartScaleTest, PointsBandsAndAverageInEitherUnit) {
  const HistoryPoint driving{6, 60, PointKind::Moving};
  const HistoryPoint standing{1.2f, 0.5f, PointKind::Jam};
  EXPECT_EQ(PointValue(driving, true), 6.0f);
  EXPECT_NEAR(*PointValue(driving, false), 10.0f, 1e-5);
  EXPECT_EQ(PointValue(standing, true), 1.2f);
  // A standing car is above every level in l/100 km, as the sound engine hears it.
  EXPECT_TRUE(std::isinf(*PointValue(standing, false)));
  EXPECT_FALSE(PointValue(HistoryPoint{}, true));

  TripSnapshot trip;
  EXPECT_FALSE(TripAverage(trip, true));
  trip.OutsideJam = {1800000, 30, 0, 3};  // half an hour, 30 km, 3 l
  EXPECT_NEAR(*TripAverage(trip, true), 6.0f, 1e-4);
  EXPECT_NEAR(*TripAverage(trip, false), 10.0f, 1e-4);
  trip.OutsideJam.Distance = 0;
  EXPECT_FALSE(TripAverage(trip, false));

  // The Over limit is the same number in both units; the top leaves room above it and grows
  // with the points, but never beyond three limits.
  Drive d;
  d.Run(3000, 60, 6);
  for (bool perHour : {true, false}) {
    const ChartScale scale = ScaleFor(d.history, 600, perHour, 20, std::nullopt);
    EXPECT_EQ(scale.overLimit, 20);
    EXPECT_EQ(scale.top, 25);
  }
  d.Run(3000, 40, 48);  // 120 l/100 km, 48 l/h
  EXPECT_EQ(ScaleFor(d.history, 600, true, 20, std::nullopt).top, 50);
  EXPECT_EQ(ScaleFor(d.history, 600, false, 20, std::nullopt).top, 60);
  EXPECT_EQ(ScaleFor(d.history, 600, true, 20, 30.0f).top, 50);
  // A point older than the span does not count.
  d.Run(600000, 60, 6);
  EXPECT_EQ(ScaleFor(d.history, 600, true, 20, std::nullopt).top, 25);
  EXPECT_EQ(ScaleFor(d.history, 1800, true, 20, std::nullopt).top, 50);
}

TEST(DashFiguresTest, KeyFiguresAndFrameFollowTheUnit) {
  TripSnapshot trip;
  EXPECT_EQ(FormatDashFigures(trip, true, 50).average, "среднее — л/ч");
  trip.Pending = {600000, 5, 0, 0.5f};
  trip.InJam = {1200000, 5, 0, 1.0f};
  trip.Current = {1, 60, 0, 6};
  const DashFigures perHour = FormatDashFigures(trip, true, 50);
  EXPECT_EQ(perHour.average, "среднее 3.0 л/ч");
  EXPECT_EQ(perHour.distance, "10.0 км");
  EXPECT_EQ(perHour.litres, "1.50 л");
  EXPECT_EQ(perHour.money, "75.00 руб");
  EXPECT_EQ(FormatDashFigures(trip, false, 50).average, "среднее 15.0 л/100 км");

  Parameters params;
  params.OverLimit = 12;
  const DashFrame frame = MakeDashFrame(trip, false, params);
  EXPECT_EQ(frame.digits, "10.0");
  EXPECT_EQ(frame.overLimit, 12);
  EXPECT_NEAR(*frame.average, 15.0f, 1e-4);
}

TEST(DashLookTest, NightByHandOrByTheClockAcrossMidnight) {
  DashLook look;  // by the clock, 21:00 to 07:00
  auto at = [](int hour, int minute, int offsetMinutes = 0) {
    return LocalTime{int64_t{hour} * 3600 + minute * 60 - offsetMinutes * 60, offsetMinutes};
  };
  EXPECT_FALSE(IsNight(look, at(20, 59)));
  EXPECT_TRUE(IsNight(look, at(21, 0)));
  EXPECT_TRUE(IsNight(look, at(0, 30)));
  EXPECT_TRUE(IsNight(look, at(6, 59)));
  EXPECT_FALSE(IsNight(look, at(7, 0)));
  // Local time, not UTC: 22:00 at +03:00 is 19:00 UTC.
  EXPECT_TRUE(IsNight(look, at(22, 0, 180)));
  look.nightFromMinute = 60;
  look.nightToMinute = 300;
  EXPECT_TRUE(IsNight(look, at(2, 0)));
  EXPECT_FALSE(IsNight(look, at(23, 0)));
  look.nightToMinute = 60;
  EXPECT_FALSE(IsNight(look, at(1, 0)));
  look.mode = NightMode::Night;
  EXPECT_TRUE(IsNight(look, at(12, 0)));
  look.mode = NightMode::Day;
  EXPECT_FALSE(IsNight(look, at(23, 0)));

  EXPECT_EQ(StepBrightness(look, -1).brightness, 40);
  look.brightness = 100;
  EXPECT_EQ(StepBrightness(look, +1).brightness, 100);
  look.brightness = 10;
  EXPECT_EQ(StepBrightness(look, -1).brightness, 10);
  EXPECT_EQ(ToggleSpan(look).spanMinutes, 30);
  EXPECT_EQ(ToggleSpan(ToggleSpan(look)).spanMinutes, 10);
}

TEST(DashLookTest, StoredBesideTheRecordAndDefaultsForAnythingUnusable) {
  MemoryUserStore store;
  EXPECT_EQ(LoadDashLook(store), DashLook{});
  DashLook look;
  look.mode = NightMode::Night;
  look.brightness = 30;
  look.nightFromMinute = 1200;
  look.nightToMinute = 330;
  look.spanMinutes = 30;
  ASSERT_TRUE(SaveDashLook(store, look));
  EXPECT_EQ(LoadDashLook(store), look);
  const StoreValue* value = store.Find(kSettingsKeyPath, kDashLookName);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->Type, kRegBinary);
  EXPECT_EQ(value->Data, (std::vector<uint8_t>{1, 30, 0xB0, 0x04, 0x4A, 0x01, 30}));

  for (const std::vector<uint8_t>& bad :
       std::vector<std::vector<uint8_t>>{{3, 30, 0, 0, 0, 0, 10},        // no such mode
                                         {1, 5, 0, 0, 0, 0, 10},         // too dim to see
                                         {1, 30, 0xA0, 0x05, 0, 0, 10},  // 24:00
                                         {1, 30, 0, 0, 0, 0, 20},        // no such span
                                         {1, 30, 0, 0, 0, 0}}) {         // too short
    store.Put(kSettingsKeyPath, kDashLookName, kRegBinary, bad);
    EXPECT_EQ(LoadDashLook(store), DashLook{});
  }
}

TEST(SparklineTest, BlocksGapsAndTheAverageMarked) {
  Drive d;
  d.Run(10000, 60, 8);
  d.trip.PollingPaused();
  d.Run(25000, 60, 8, true);
  d.Run(9000, 60, 2);
  // Four characters of 10 s, oldest first: the high stretch, the silence, the low stretch; the
  // average's block follows at its height.
  EXPECT_EQ(Sparkline(d.history, true, 4.0f, 4, 10), "0 мин █  ▃ │ среднее ▅ 4.0 л/ч");
  EXPECT_EQ(Sparkline(d.history, false, std::nullopt, 4, 10), "0 мин █  ▃ │ среднее — л/100 км");
  EXPECT_EQ(Sparkline(ConsumptionHistory{}, true, std::nullopt, 2, 5), "0 мин    │ среднее — л/ч");
  // Standing in l/100 km: off the scale.
  d.Run(10000, 0, 1);
  EXPECT_EQ(Sparkline(d.history, false, std::nullopt, 1, 10), "0 мин ▔ │ среднее — л/100 км");
  EXPECT_EQ(Sparkline(d.history, true, std::nullopt).substr(0, 9), "5 мин ");
}

}  // namespace
}  // namespace drunvale

namespace drunvale {
namespace {

TEST(DashColoursTest, NightIsAmberScaledByBrightnessAndStaleDigitsStayDimmer) {
  const Rgb white = IndicatorTextColour(true, false), yellow = IndicatorTextColour(false, false);
  const Rgb full = NightTint(white, 100);
  EXPECT_EQ(full.red, 255);
  EXPECT_GT(full.green, full.blue);  // amber, not grey
  EXPECT_LT(NightTint(white, 40).red, full.red);
  EXPECT_GT(NightTint(yellow, 100).green, full.green);  // yellower
  EXPECT_LT(NightTint(IndicatorTextColour(true, true), 100).red, full.red);
  EXPECT_EQ(NightColours(white, 100).background, (Rgb{0, 0, 0}));
  // By day the bands run from greenish through yellowish to red over the chart's grey.
  const DashColours day = DayColours(white);
  EXPECT_GT(day.minBand.green, day.minBand.red);
  EXPECT_GT(day.overBand.red, day.overBand.green);
  EXPECT_EQ(FromHsv(0, 1, 1), (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace drunvale
