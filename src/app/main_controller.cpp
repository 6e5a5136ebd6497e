#include "app/main_controller.h"

#include "app/app_core.h"
#include "settings/settings_store.h"
#include "trip/panel_text.h"

namespace drunvale {

MainController::MainController(AppCore& app, UserStore& store, MainView& view)
    : app_(app), store_(store), view_(view), status_(view) {}

MainController::~MainController() = default;

const char* MainController::UnitCaption(bool litresPerHour) {
  return litresPerHour
             ? "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)"
             : "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/100)";
}

void MainController::Initialise() {
  Settings loaded = app_.settings.Get();
  LoadSettings(loaded, store_);
  app_.settings.Set(loaded);
  app_.sound.Device().Create();
  app_.sound.ReloadSounds();
  app_.trip.Reset();
  refreshCount_ = 3;
  litresPerHour_ = true;
  app_.trip.SetLitresPerHour(true);
  view_.SetUnitCaption(UnitCaption(true));
  RefreshStatistics();
}

void MainController::Start(bool beep) {
  refreshCount_ = 0;
  view_.StartRefreshTimer();
  app_.link.Start([this](std::string text) { status_.Show(std::move(text)); });
  app_.sound.SetEnabled(beep);
}

void MainController::Stop() {
  app_.sound.SetEnabled(false);
  app_.link.Stop();
  view_.StopRefreshTimer();
  refreshCount_ = 3;
  RefreshStatistics();
}

void MainController::Reset() {
  app_.trip.Reset();
  refreshCount_ = 3;
  RefreshStatistics();
}

void MainController::OnRefreshTimer() { RefreshStatistics(); }

void MainController::SetBeep(bool on) { app_.sound.SetEnabled(on); }

void MainController::SetVolumeSliderPosition(int position) {
  app_.sound.Device().SetVolume(100 - position);
}

void MainController::ToggleUnits() {
  litresPerHour_ = !litresPerHour_;
  app_.trip.SetLitresPerHour(litresPerHour_);
  view_.SetUnitCaption(UnitCaption(litresPerHour_));
  view_.RepaintIndicator();
}

int MainController::Close() {
  app_.sound.SetEnabled(false);
  app_.link.Stop();
  view_.StopRefreshTimer();
  return 2;
}

void MainController::ApplySavedSettings() {
  app_.link.ApplySettings();
  app_.sound.ReloadSounds();
}

std::string MainController::IndicatorText() const {
  TripSnapshot snapshot = app_.trip.Snapshot();
  return IndicatorTextFor(snapshot.Current, litresPerHour_);
}

void MainController::RefreshStatistics() {
  view_.RepaintIndicator();
  TripSnapshot trip = app_.trip.Snapshot();
  float price = app_.settings.GetParameters().FuelPrice;
  view_.SetColumn(PanelColumn::RatesCurrent, FormatRates(trip.Current, false, trip, price));
  if (++refreshCount_ <= 3) return;
  refreshCount_ = 0;
  view_.SetColumn(PanelColumn::TotalsAll, FormatAllTotals(trip, price));
  view_.SetColumn(PanelColumn::TotalsInJam, FormatTotals(trip.InJam, price));
  view_.SetColumn(PanelColumn::TotalsOutsideJam, FormatTotals(trip.OutsideJam, price));
  view_.SetColumn(PanelColumn::RatesAll, FormatAllRates(trip, price));
  view_.SetColumn(PanelColumn::RatesInJam, FormatRates(trip.InJam.PerHour(), false, trip, price));
  view_.SetColumn(PanelColumn::RatesOutsideJam,
                  FormatRates(trip.OutsideJam.PerHour(), false, trip, price));
  view_.SetColumn(PanelColumn::RatesMaximum, FormatRates(trip.Maximum, true, trip, price));
  view_.SetSummaryLine(app_.link.LinkSummary());
  view_.PanelRefreshed();
}

}  // namespace drunvale
