// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_controller.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_core.h"
#include "app/fake_view.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_autostart.h"
#include "platform/testing/memory_user_store.h"
#include "settings/stored_values.h"
#include "sound/testing/recording_audio.h"

namespace drunvale {
namespace {

// A port that never opens.
OpenedPort NoPort(const std::string&) {
  return OpenedPort::Failed({OpenFailure::NoDevice});
}

class MainControllerTest : public ::testing::Test {
 protected:
  MainControllerTest()
      : app_(AppPlatform{.tickClock = &tick_,
                         .highResClock = &hiRes_,
                         .audio = &audio_,
                         .opener = NoPort,
                         .sleepClock = &asleep_,
                         .autostart = &autostart_}),
        controller_(app_, store_, view_) {}

  ManualTickClock tick_{1000};
  ManualHighResClock hiRes_;
  RecordingAudio audio_;
  ManualSleepClock asleep_;
  MemoryAutostart autostart_;
  MemoryUserStore store_;
  AppCore app_;
  FakeView view_;
  MainController controller_;
};

TEST_F(MainControllerTest, OpensWithAFullPanelOfZerosAndNoLink) {
  controller_.Initialise();
  EXPECT_EQ(view_.fullRefreshes, 1);
  EXPECT_EQ(view_.columns[PanelColumn::TotalsAll], "0:00:00 \n0.00 \n0.00 \n0.00 \n0.00 ");
  EXPECT_EQ(view_.columns[PanelColumn::RatesMaximum], "- \n- \n- \n- \n- \n- ");
  EXPECT_EQ(view_.summary, "");
  EXPECT_TRUE(view_.statuses.empty());
  EXPECT_TRUE(view_.causes.empty());  // a first start, with a sound device
  EXPECT_FALSE(view_.timerRunning);
  EXPECT_EQ(controller_.IndicatorText(), "0.0");
  EXPECT_NE(view_.caption.find("(л/ч)"), std::string::npos);
}

TEST_F(MainControllerTest, CurrentColumnEveryTickTheRestEveryFourth) {
  controller_.Initialise();
  controller_.Start(false);
  EXPECT_TRUE(view_.timerRunning);
  int full = view_.fullRefreshes;
  int current = view_.columnWrites[PanelColumn::RatesCurrent];
  int totals = view_.columnWrites[PanelColumn::TotalsAll];
  for (int tick = 1; tick <= 8; ++tick) {
    controller_.OnRefreshTimer();
    EXPECT_EQ(view_.columnWrites[PanelColumn::RatesCurrent], current + tick);
    EXPECT_EQ(view_.columnWrites[PanelColumn::TotalsAll], totals + tick / 4) << "tick " << tick;
  }
  EXPECT_EQ(view_.fullRefreshes, full + 2);
  controller_.Stop();
}

TEST_F(MainControllerTest, StopBeforeAnyStartShowsNothingAndRefreshesEverything) {
  controller_.Initialise();
  int full = view_.fullRefreshes;
  controller_.Stop();
  EXPECT_TRUE(view_.statuses.empty());
  EXPECT_EQ(view_.fullRefreshes, full + 1);
}

TEST_F(MainControllerTest, StartShowsTheLinkTextsInOrderAndStopEndsThem) {
  controller_.Initialise();
  controller_.Start(true);
  EXPECT_TRUE(app_.sound.IsEnabled());
  controller_.Stop();
  EXPECT_FALSE(app_.sound.IsEnabled());
  EXPECT_FALSE(view_.timerRunning);
  // Worker texts arrive posted; run what the UI thread would have run.
  for (auto& task : view_.posted)
    task();
  ASSERT_GE(view_.statuses.size(), 2u);
  EXPECT_EQ(view_.statuses.front(), "Соединяемся...");
  EXPECT_EQ(view_.statuses.back(), "Соединение не установлено.");
}

TEST_F(MainControllerTest, FiguresGoGreyAfterTwoSecondsWithoutDataAndLiveWithTheNextSample) {
  const Rgb white = IndicatorTextColour(true, false), grey = IndicatorTextColour(true, true);
  controller_.Initialise();
  EXPECT_EQ(controller_.IndicatorColour(), white);  // nothing shown yet is old
  controller_.Start(false);
  EXPECT_TRUE(view_.screenKept);
  tick_.Advance(1999);
  controller_.OnRefreshTimer();
  EXPECT_EQ(controller_.IndicatorColour(), white);
  EXPECT_TRUE(view_.ages.empty());
  tick_.Advance(1);
  controller_.OnRefreshTimer();
  EXPECT_EQ(controller_.IndicatorColour(), grey);
  tick_.Advance(2500);
  controller_.OnRefreshTimer();
  controller_.OnRefreshTimer();  // the same second is not told twice
  EXPECT_EQ(view_.ages, (std::vector<std::optional<uint32_t>>{2u, 4u}));

  app_.dataAge.Sampled(tick_.NowMs());
  controller_.OnRefreshTimer();
  EXPECT_EQ(controller_.IndicatorColour(), white);
  EXPECT_EQ(view_.ages.back(), std::nullopt);

  // After a stop the figure on show is old at once, but no count runs and the screen may sleep.
  controller_.Stop();
  EXPECT_EQ(controller_.IndicatorColour(), grey);
  tick_.Advance(5000);
  controller_.OnRefreshTimer();
  EXPECT_EQ(view_.ages.back(), std::nullopt);
  EXPECT_FALSE(view_.screenKept);
  controller_.ToggleUnits();
  EXPECT_EQ(controller_.IndicatorColour(), IndicatorTextColour(false, true));
}

TEST_F(MainControllerTest, ConnectAtStartIsStoredAndTheSessionSwitchSaysWhyItFailed) {
  controller_.Initialise();
  EXPECT_FALSE(controller_.ConnectAtStart());
  controller_.SetConnectAtStart(true);
  MainController reopened(app_, store_, view_);
  reopened.Initialise();
  EXPECT_TRUE(reopened.ConnectAtStart());
  // Beside the record, which a save of the settings dialog leaves alone.
  ASSERT_EQ(app_.settings.Get().Save(store_), StoreResult::Ok);
  MainController again(app_, store_, view_);
  again.Initialise();
  EXPECT_TRUE(again.ConnectAtStart());

  controller_.SetStartWithSession(true);
  EXPECT_TRUE(controller_.StartsWithSession());
  autostart_.failWith = 13;
  controller_.SetStartWithSession(false);
  EXPECT_TRUE(controller_.StartsWithSession());
  ASSERT_FALSE(view_.causes.empty());
  EXPECT_TRUE(view_.causes.back().starts_with("Запуск при входе в систему не изменён: "))
      << view_.causes.back();
  store_.FailSet(kConnectAtStartName);
  controller_.SetConnectAtStart(false);
  EXPECT_EQ(view_.causes.back(), "Не удалось сохранить настройку.");
}

TEST_F(MainControllerTest, UnitToggleSwitchesCaptionIndicatorAndTheTripsUnit) {
  controller_.Initialise();
  int repaints = view_.repaints;
  controller_.ToggleUnits();
  EXPECT_FALSE(controller_.LitresPerHour());
  EXPECT_FALSE(app_.trip.LitresPerHour());
  EXPECT_NE(view_.caption.find("(л/100)"), std::string::npos);
  EXPECT_EQ(controller_.IndicatorText(), "8^0");
  EXPECT_GT(view_.repaints, repaints);
  controller_.ToggleUnits();
  EXPECT_NE(view_.caption.find("(л/ч)"), std::string::npos);
  EXPECT_EQ(controller_.IndicatorText(), "0.0");
}

TEST_F(MainControllerTest, SliderTopIsFullVolumeAndBottomSilent) {
  controller_.Initialise();
  controller_.SetVolumeSliderPosition(0);
  EXPECT_EQ(app_.sound.Device().Volume(), 100);
  controller_.SetVolumeSliderPosition(100);
  EXPECT_EQ(app_.sound.Device().Volume(), 0);
  controller_.SetVolumeSliderPosition(30);
  EXPECT_EQ(app_.sound.Device().Volume(), 70);
}

TEST_F(MainControllerTest, ResetClearsTheTripAndRefreshesAtOnce) {
  controller_.Initialise();
  app_.trip.AddSample(50, 20, 5, true);
  tick_.Advance(1000);
  app_.trip.AddSample(50, 20, 5, true);
  controller_.Reset();
  EXPECT_EQ(view_.columns[PanelColumn::TotalsAll], "0:00:00 \n0.00 \n0.00 \n0.00 \n0.00 ");
  EXPECT_EQ(view_.columns[PanelColumn::RatesCurrent], "- \n- \n- \n- \n- \n- ");
}

TEST_F(MainControllerTest, LoadsStoredSettingsAndClosesWithResultTwo) {
  Settings stored;
  stored.Port = "/dev/ttyS3";
  stored.Params.FuelPrice = 50.0f;
  ASSERT_EQ(stored.Save(store_), StoreResult::Ok);
  controller_.Initialise();
  EXPECT_EQ(app_.settings.Get().Port, "/dev/ttyS3");
  EXPECT_EQ(app_.settings.GetParameters().FuelPrice, 50.0f);
  EXPECT_EQ(controller_.Close(), 2);
}

TEST_F(MainControllerTest, StoredSettingsThatWillNotOpenAndNoSoundDeviceAreSaid) {
  Settings stored;
  stored.Port = "/dev/ttyS3";
  ASSERT_EQ(stored.Save(store_), StoreResult::Ok);
  store_.FailOpen(kSettingsKeyPath);
  audio_.FailDeviceCreation(SoundStatus::NoDevice);
  controller_.Initialise();
  EXPECT_EQ(app_.settings.Get().Port, Settings().Port);
  EXPECT_EQ(view_.causes, std::vector<std::string>{"Настройки не прочитаны: действуют исходные. "
                                                   "Нет звукового устройства: звука не будет."});
  // Starting the link clears them for its own.
  controller_.Start(false);
  ASSERT_GE(view_.causes.size(), 2u);
  EXPECT_EQ(view_.causes[1], "");
  controller_.Stop();
}

// An adapter that is gone by the time anything is sent: every purge fails.
class DeadPort final : public SerialPort {
 public:
  explicit DeadPort(std::function<void()> onPurge) : onPurge_(std::move(onPurge)) {}
  IoResult SetLine(uint32_t) override { return {}; }
  void SetTimeouts(const SerialTimeouts&) override {}
  IoResult Purge() override {
    onPurge_();
    return IoFailure(5);
  }
  IoResult Write(const uint8_t*, size_t) override { return IoFailure(5); }
  IoResult Read(uint8_t*, size_t) override { return IoFailure(5); }
  bool SetRts(bool) override { return false; }
  bool SetDtr(bool) override { return false; }

 private:
  std::function<void()> onPurge_;
};

TEST(MainControllerLink, WhileTheLinkDoesNotPollTheSoundIsQuietAndThePauseIsNotCharged) {
  std::mutex mutex;
  std::condition_variable purged;
  bool tried = false;
  ManualTickClock tick(1000);
  ManualHighResClock hiRes;
  RecordingAudio audio;
  MemoryUserStore store;
  ManualSleepClock asleep;
  MemoryAutostart autostart;
  AppCore app(AppPlatform{.tickClock = &tick,
                          .highResClock = &hiRes,
                          .audio = &audio,
                          .opener = [&](const std::string&) -> OpenedPort {
                            return {std::make_unique<DeadPort>([&] {
                                      std::lock_guard lock(mutex);
                                      tried = true;
                                      purged.notify_all();
                                    }),
                                    {}};
                          },
                          .sleepClock = &asleep,
                          .autostart = &autostart});
  FakeView view;
  MainController controller(app, store, view);
  controller.Initialise();

  // Beeping at a figure from an earlier session.
  app.sound.SetEnabled(true);
  app.trip.AddSample(50, 20, 5, true);
  tick.Advance(1000);
  app.trip.AddSample(50, 20, 5, true);
  ASSERT_EQ(app.sound.Request().request.slot, SoundSlot::MinMax);
  const TripFigures before = app.trip.Snapshot().Everywhere();

  // The new session says polling paused before its first request, which finds the port dead.
  controller.Start(true);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(purged.wait_for(lock, std::chrono::seconds(10), [&] { return tried; }));
  }
  EXPECT_EQ(app.sound.Request().request.slot, SoundSlot::None);
  tick.Advance(3600000);
  app.trip.AddSample(60, 20, 6, true);
  EXPECT_EQ(app.trip.Snapshot().Everywhere(), before);
  EXPECT_EQ(app.sound.Request().request.slot, SoundSlot::MinMax);  // back with the sample
  controller.Stop();
}

TEST_F(MainControllerTest, TheDashGetsAPointASecondFromTheRefreshAndItsLookIsStored) {
  DashLook look;
  look.mode = NightMode::Night;
  look.brightness = 70;
  ASSERT_TRUE(SaveDashLook(store_, look));
  controller_.Initialise();
  EXPECT_EQ(controller_.Look(), look);
  EXPECT_TRUE(controller_.NightNow());

  controller_.Start(false);
  app_.trip.AddSample(50, 20, 5, true);
  for (int tick = 0; tick < 9; ++tick) {
    tick_.Advance(333);
    app_.trip.AddSample(50, 20, 5, true);
    controller_.OnRefreshTimer();
  }
  EXPECT_EQ(controller_.History().Size(), 3u);
  EXPECT_EQ(controller_.History().At(0).fuel, 5);
  EXPECT_EQ(controller_.DashNow().digits, "5.0");
  EXPECT_NE(controller_.Sparkline().find("среднее"), std::string::npos);

  // A store that will not take the look: said once, and the look holds for this run.
  store_.FailSet(kDashLookName);
  look.mode = NightMode::Day;
  EXPECT_FALSE(controller_.SetLook(look));
  EXPECT_FALSE(controller_.SetLook(StepBrightness(look, 1)));
  EXPECT_FALSE(controller_.NightNow());
  EXPECT_EQ(view_.notices.size(), 1u);
  controller_.Stop();
}

}  // namespace
}  // namespace drunvale
