#include "app/main_controller.h"

#include <cstdio>

#include "app/app_core.h"
#include "platform/system_error.h"
#include "platform/user_store.h"
#include "settings/stored_values.h"
#include "trip/indicator_text.h"
#include "trip/panel_texts.h"

namespace drunvale {

MainController::MainController(AppCore& app, UserStore& store, MainView& view)
    : app_(app), store_(store), view_(view), status_(view) {}

MainController::~MainController() = default;

void MainController::Initialise() {
  std::string cause;
  Settings loaded = app_.settings.Get();
  // A first start has no stored settings; that is no failure.
  if (loaded.Load(store_) != kSettingsOk && store_.Exists(kSettingsKeyPath)) {
    cause = "Настройки не прочитаны: действуют исходные.";
  }
  app_.settings.Set(loaded);
  connectAtStart_ = LoadConnectAtStart(store_);
  if (app_.sound.Device().Create() != kSoundOk || !app_.sound.Device().HasDevice()) {
    std::fputs("drunvale: no sound device, running without sound\n", stderr);
    cause += (cause.empty() ? "" : " ") + std::string("Нет звукового устройства: звука не будет.");
  }
  // Said where the link explains itself, until the link has something to say.
  if (!cause.empty()) status_.ShowCause(cause);
  app_.sound.ReloadSounds();
  app_.trip.Reset();
  refreshCount_ = kTicksBetweenFullRefreshes;
  litresPerHour_ = true;
  app_.trip.SetLitresPerHour(true);
  view_.SetUnitCaption(std::string(IndicatorCaption(true)));
  RefreshStatistics();
}

void MainController::Start(bool beep) {
  refreshCount_ = 0;
  view_.StartRefreshTimer();
  // Nothing came yet: counted from now, so a silent control unit shows as such in 2 s.
  app_.dataAge.Started(app_.tickClock.NowMs());
  view_.KeepScreenOn(true);
  app_.link.Start([this](std::string text) { status_.Show(std::move(text)); },
                  [this](std::string text) { status_.ShowCause(std::move(text)); });
  app_.sound.SetEnabled(beep);
}

void MainController::Stop() {
  app_.sound.SetEnabled(false);
  app_.link.Stop();
  view_.StopRefreshTimer();
  Stopped();
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
}

void MainController::Reset() {
  app_.trip.Reset();
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
}

void MainController::OnRefreshTimer() {
  ShowDataAge();
  RefreshStatistics();
}

void MainController::ShowDataAge() {
  const std::optional<uint32_t> age = app_.dataAge.StaleSeconds(app_.tickClock.NowMs());
  if (age == shownAge_) return;
  shownAge_ = age;
  view_.SetDataAge(age);
}

void MainController::Stopped() {
  app_.dataAge.Stopped();
  ShowDataAge();
  view_.KeepScreenOn(false);
}

void MainController::SetBeep(bool on) {
  app_.sound.SetEnabled(on);
}

void MainController::SetVolumeSliderPosition(int position) {
  app_.sound.Device().SetVolume(100 - position);
}

void MainController::ToggleUnits() {
  litresPerHour_ = !litresPerHour_;
  app_.trip.SetLitresPerHour(litresPerHour_);
  view_.SetUnitCaption(std::string(IndicatorCaption(litresPerHour_)));
  view_.RepaintIndicator();
}

int MainController::Close() {
  app_.sound.SetEnabled(false);
  app_.link.Stop();
  view_.StopRefreshTimer();
  Stopped();
  return kMainWindowClosed;
}

void MainController::ApplySavedSettings() {
  app_.link.ApplySettings();
  app_.sound.ReloadSounds();
}

std::string MainController::IndicatorText() const {
  return FormatIndicator(app_.trip.Snapshot().Current, litresPerHour_);
}

Rgb MainController::IndicatorColour() const {
  return IndicatorTextColour(litresPerHour_, app_.dataAge.Stale(app_.tickClock.NowMs()));
}

void MainController::SetConnectAtStart(bool on) {
  connectAtStart_ = on;
  if (!SaveConnectAtStart(store_, on)) status_.ShowCause("Не удалось сохранить настройку.");
}

bool MainController::StartsWithSession() const {
  return app_.autostart.IsOn();
}

void MainController::SetStartWithSession(bool on) {
  const AutostartResult switched = app_.autostart.Set(on);
  if (!switched) {
    status_.ShowCause("Запуск при входе в систему не изменён: " +
                      SystemErrorText(switched.systemError));
  }
}

void MainController::RefreshStatistics() {
  view_.RepaintIndicator();
  TripSnapshot trip = app_.trip.Snapshot();
  float price = app_.settings.GetParameters().FuelPrice;
  view_.SetColumn(PanelColumn::RatesCurrent, FormatRates(trip.Current, price));
  if (++refreshCount_ <= kTicksBetweenFullRefreshes) return;
  refreshCount_ = 0;
  PanelTexts texts = FormatPanel(trip, price);
  view_.SetColumn(PanelColumn::TotalsAll, texts.TotalsEverywhere);
  view_.SetColumn(PanelColumn::TotalsInJam, texts.TotalsInJam);
  view_.SetColumn(PanelColumn::TotalsOutsideJam, texts.TotalsOutsideJam);
  view_.SetColumn(PanelColumn::RatesAll, texts.RatesEverywhere);
  view_.SetColumn(PanelColumn::RatesInJam, texts.RatesInJam);
  view_.SetColumn(PanelColumn::RatesOutsideJam, texts.RatesOutsideJam);
  view_.SetColumn(PanelColumn::RatesMaximum, texts.RatesMaximum);
  view_.SetSummaryLine(app_.link.LinkSummary());
  view_.PanelRefreshed();
}

}  // namespace drunvale
