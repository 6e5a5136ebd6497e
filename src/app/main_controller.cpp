// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_controller.h"

#include <cstdio>

#include "app/app_core.h"
#include "dash/chart_scale.h"
#include "dash/sparkline.h"
#include "platform/console_text.h"
#include "platform/system_error.h"
#include "platform/user_store.h"
#include "settings/stored_values.h"
#include "trip/indicator_text.h"
#include "trip/panel_texts.h"

namespace drunvale {

MainController::MainController(AppCore& app, UserStore& store, MainView& view)
    : app_(app), store_(store), view_(view), status_(view), keeper_(app, store) {
  status_.WatchStatus([this](const std::string& text) {
    // The identification line is the one status text that ends in a line break of its own.
    if (text.ends_with("\r\n")) keeper_.SetControlUnit(text);
  });
}

MainController::~MainController() = default;

void MainController::Initialise() {
  std::string cause;
  Settings loaded = app_.settings.Get();
  // A first start has no stored settings; that is no failure.
  if (loaded.Load(store_) != StoreResult::Ok && store_.Exists(kSettingsKeyPath)) {
    cause = "Настройки не прочитаны: действуют исходные.";
  }
  app_.settings.Set(loaded);
  connectAtStart_ = LoadConnectAtStart(store_);
  foundAdapter_ = static_cast<AdapterKind>(LoadAdapterFound(store_));
  app_.link.SetFoundAdapter(foundAdapter_);
  foundSource_ = LoadSourceFound(store_);
  app_.link.SetFoundSource(foundSource_);
  if (app_.sound.Device().Create() != SoundStatus::Ok || !app_.sound.Device().HasDevice()) {
    std::fputs("drunvale: no sound device, running without sound\n", stderr);
    cause += (cause.empty() ? "" : " ") + std::string("Нет звукового устройства: звука не будет.");
  }
  // Said where the link explains itself, until the link has something to say.
  if (!cause.empty()) status_.ShowCause(cause);
  app_.sound.ReloadSounds();
  app_.trip.Reset();
  tripClosed_ = false;
  // The factor before any sample, and a trip left by a power cut into the journal.
  keeper_.Initialise();
  look_ = LoadDashLook(store_);
  refreshCount_ = kTicksBetweenFullRefreshes;
  litresPerHour_ = true;
  app_.trip.SetLitresPerHour(true);
  view_.SetUnitCaption(std::string(IndicatorCaption(true)));
  RefreshStatistics();
  ShowNotices();
}

void MainController::BeginRun(const RunStart& start) {
  Initialise();
  if (!start.port.empty()) app_.UsePortForThisRun(start.port);
  if (start.adapter) app_.UseAdapterForThisRun(*start.adapter);
  view_.RunBegins(app_.settings.Get().Port, start.beep, start.dash);
  if (start.connect || connectAtStart_) Start(start.beep);
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
  // The figures are kept before the goodbye to a silent control unit, which takes seconds.
  app_.link.RequestStop();
  keeper_.Stopped(app_.trip.Snapshot());
  app_.link.Stop();
  view_.StopRefreshTimer();
  Stopped();
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
  ShowNotices();
}

void MainController::Reset() {
  const TripSnapshot ended = app_.trip.Reset();
  // The ended trip's figures as its row holds them, then the new trip's zeros.
  view_.SetColumn(PanelColumn::RatesCurrent,
                  FormatRates(ended.Current, app_.settings.GetParameters().FuelPrice));
  ShowWholePanel(ended, app_.settings.GetParameters().FuelPrice);
  keeper_.TripEnded(ended, TripEnd::Reset);
  refreshCount_ = kTicksBetweenFullRefreshes;
  RefreshStatistics();
  ShowNotices();
}

void MainController::OnRefreshTimer() {
  // Before the views refresh, so the dash draws the new point with the new digits.
  history_.Record(app_.tickClock.NowMs(), app_.trip.Snapshot());
  ShowDataAge();
  keeper_.Tick(RefreshStatistics());
  ShowNotices();
  // Kept for the next start; a store that will not take it costs only a probe then.
  const AdapterKind found = app_.link.FoundAdapter();
  if (found != foundAdapter_ && app_.keepsRecords) {
    foundAdapter_ = found;
    (void)SaveAdapterFound(store_, static_cast<uint32_t>(found));
  }
  const uint32_t source = app_.link.FoundSource();
  if (source != foundSource_ && app_.keepsRecords) {
    foundSource_ = source;
    (void)SaveSourceFound(store_, source);
  }
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

void MainController::AskEngineCodes(bool clear) {
  app_.link.AskCodes(clear ? CodesMailbox::Ask::Clear : CodesMailbox::Ask::Read);
}

std::optional<CodesReport> MainController::TakeEngineCodes() {
  return app_.TakeCodesReport();
}

EngineCodesSource MainController::EngineCodes() {
  EngineCodesSource source;
  source.ask = [this](CodesMailbox::Ask ask) { app_.link.AskCodes(ask); };
  source.take = [this] { return app_.TakeCodesReport(); };
  source.linkRunning = [this] { return app_.link.WorkerRunning(); };
  return source;
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
  // The trip's row goes before the goodbye to a silent control unit, which takes seconds: a
  // system that ends the session may not wait that long.
  app_.link.RequestStop();
  std::string notice;
  if (!tripClosed_) {
    tripClosed_ = true;
    keeper_.TripEnded(app_.trip.Snapshot(), TripEnd::Closed);
    notice = keeper_.TakeNotice();
    if (const size_t waiting = keeper_.RowsWaiting(); waiting > 0) {
      notice += (notice.empty() ? "" : "\n") + std::string("Не записано в журнал строк: ") +
                std::to_string(waiting) +
                ". Они будут записаны при следующем запуске, если сохранилась контрольная точка.";
    }
  }
  app_.link.Stop();
  view_.StopRefreshTimer();
  Stopped();
  if (!notice.empty()) {
    // Said where the program's own messages go, and in the window before it goes.
    WriteText(stderr, "drunvale: " + notice + "\n");
    view_.ShowClosingNotice(notice);
  }
  return kMainWindowClosed;
}

void MainController::ApplySavedSettings() {
  app_.link.ApplySettings();
  app_.sound.ReloadSounds();
}

std::string MainController::IndicatorText() const {
  return FormatIndicator(app_.trip.Snapshot().Current, litresPerHour_);
}

DashFrame MainController::DashNow() const {
  return MakeDashFrame(app_.trip.Snapshot(), litresPerHour_, app_.settings.GetParameters());
}

std::string MainController::Sparkline() const {
  return drunvale::Sparkline(history_, litresPerHour_,
                             TripAverage(app_.trip.Snapshot(), litresPerHour_));
}

bool MainController::SetLook(const DashLook& look) {
  look_ = look;
  if (SaveDashLook(store_, look)) return true;
  // Said once: the driver may be stepping through brightness levels.
  if (!lookUnsaved_) view_.ShowNotice("Вид приборной панели не сохранён: он действует до выхода.");
  lookUnsaved_ = true;
  return false;
}

bool MainController::NightNow() const {
  return IsNight(look_, app_.wallClock.Now());
}

TankState MainController::FillUpTank() const {
  return keeper_.Tank(app_.trip.Snapshot());
}

std::string MainController::RecordFill(const FillProposal& fill) {
  std::string problem = keeper_.RecordFill(fill, app_.trip.Snapshot());
  ShowNotices();
  return problem;
}

void MainController::ShowNotices() {
  if (const std::string notice = keeper_.TakeNotice(); !notice.empty()) view_.ShowNotice(notice);
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

bool MainController::MenuOptionOn(MainMenuItem item) const {
  if (item == MainMenuItem::ConnectAtStart) return ConnectAtStart();
  if (item == MainMenuItem::StartWithSession) return StartsWithSession();
  return false;
}

void MainController::SwitchMenuOption(MainMenuItem item, bool on) {
  if (item == MainMenuItem::ConnectAtStart) SetConnectAtStart(on);
  if (item == MainMenuItem::StartWithSession) SetStartWithSession(on);
}

TripSnapshot MainController::RefreshStatistics() {
  view_.RepaintIndicator();
  TripSnapshot trip = app_.trip.Snapshot();
  float price = app_.settings.GetParameters().FuelPrice;
  view_.SetColumn(PanelColumn::RatesCurrent, FormatRates(trip.Current, price));
  if (++refreshCount_ <= kTicksBetweenFullRefreshes) return trip;
  refreshCount_ = 0;
  ShowWholePanel(trip, price);
  return trip;
}

void MainController::ShowWholePanel(const TripSnapshot& trip, float price) {
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
