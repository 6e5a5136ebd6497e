#include "app/main_controller.h"

#include <cstdio>

#include "app/app_core.h"
#include "platform/user_store.h"
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
  app_.link.Start([this](std::string text) { status_.Show(std::move(text)); },
                  [this](std::string text) { status_.ShowCause(std::move(text)); });
  app_.sound.SetEnabled(beep);
}

void MainController::Stop() {
  app_.sound.SetEnabled(false);
  app_.link.Stop();
  view_.StopRefreshTimer();
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
}

void MainController::Reset() {
  app_.trip.Reset();
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
}

void MainController::OnRefreshTimer() {
  RefreshStatistics();
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
  return kMainWindowClosed;
}

void MainController::ApplySavedSettings() {
  app_.link.ApplySettings();
  app_.sound.ReloadSounds();
}

std::string MainController::IndicatorText() const {
  return FormatIndicator(app_.trip.Snapshot().Current, litresPerHour_);
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
