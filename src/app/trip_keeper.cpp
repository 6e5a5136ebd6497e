// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/trip_keeper.h"

#include <utility>

#include "app/app_core.h"
#include "journal/journal_store.h"

namespace drunvale {
namespace {

constexpr const char* kTankNotStoredText =
    "Счётчик бака не сохранён: настройки не записываются. Счёт идёт дальше.";

bool TripBegun(const TripSnapshot& trip) {
  return trip.State != JamState::Idle || trip.Everywhere().TimeMs > 0;
}

}  // namespace

TripKeeper::TripKeeper(AppCore& app, UserStore& store)
    : app_(app),
      store_(store),
      writer_(app.keepsRecords ? app.dataFolder : nullptr, app.regionalNumbers) {}

void TripKeeper::Initialise() {
  app_.calibration.SetParts(LoadFuelFactor(store_));
  writer_.SetOn(LoadJournalOn(store_));
  tank_ = LoadTank(store_);
  tripStart_.reset();
  countedTripFuel_ = 0;
  uncountedLitres_ = 0;
  lastCheckpointTick_ = app_.tickClock.NowMs();
  lastCheckpointed_ = {};
  writer_.Recover();
}

void TripKeeper::NoteStart(const TripSnapshot& trip) {
  if (!tripStart_ && TripBegun(trip)) tripStart_ = app_.wallClock.Now();
}

void TripKeeper::Tick(const TripSnapshot& trip) {
  NoteStart(trip);
  const uint32_t now = app_.tickClock.NowMs();
  if (now - lastCheckpointTick_ < kCheckpointMs) return;
  lastCheckpointTick_ = now;
  Checkpoint(trip);
}

void TripKeeper::Stopped(const TripSnapshot& trip) {
  NoteStart(trip);
  lastCheckpointTick_ = app_.tickClock.NowMs();
  Checkpoint(trip);
}

void TripKeeper::Checkpoint(const TripSnapshot& trip) {
  const TripFigures figures = trip.Everywhere();
  // A trip that stands still needs no new checkpoint: the last one holds it.
  if (figures == lastCheckpointed_) return;
  lastCheckpointed_ = figures;
  CountTank(trip);
  if (figures.TimeMs == 0) return;
  writer_.Checkpoint(FormatTripRow(RecordOf(trip, TripEnd::PowerLost)));
}

void TripKeeper::TripEnded(const TripSnapshot& trip, TripEnd how) {
  NoteStart(trip);
  CountTank(trip);
  if (trip.Everywhere().TimeMs > 0) writer_.AddTrip(FormatTripRow(RecordOf(trip, how)));
  tripStart_.reset();
  countedTripFuel_ = 0;
  lastCheckpointed_ = {};
  lastCheckpointTick_ = app_.tickClock.NowMs();
}

void TripKeeper::CountTank(const TripSnapshot& trip) {
  const float fuel = trip.Everywhere().Fuel;
  uncountedLitres_ += fuel - countedTripFuel_;
  countedTripFuel_ = fuel;
  if (!tank_.Started() || uncountedLitres_ <= 0) return;
  if (!app_.keepsRecords) {
    tank_.litres += std::exchange(uncountedLitres_, 0);
    return;
  }
  // Added to what the store holds now, so that nothing counted elsewhere is overwritten.
  TankState stored = LoadTank(store_);
  if (!stored.Started()) stored = tank_;
  stored.litres += uncountedLitres_;
  if (!SaveTank(store_, stored)) {
    if (!storeFailing_) notice_ = kTankNotStoredText;
    storeFailing_ = true;
    return;
  }
  storeFailing_ = false;
  tank_ = stored;
  uncountedLitres_ = 0;
}

TripRecord TripKeeper::RecordOf(const TripSnapshot& trip, TripEnd how) const {
  TripRecord record;
  record.end = app_.wallClock.Now();
  record.start = tripStart_.value_or(record.end);
  record.how = how;
  record.everywhere = trip.Everywhere();
  record.inJam = trip.InJam;
  record.outsideJam = trip.OutsideJam;
  const Settings settings = app_.settings.Get();
  record.fuelPrice = settings.Params.FuelPrice;
  record.factor = app_.calibration.Parts();
  record.port = settings.Port;
  record.controlUnit = controlUnit_;
  return record;
}

uint32_t TripKeeper::Factor() const {
  return app_.calibration.Parts();
}

TankState TripKeeper::Tank(const TripSnapshot& trip) const {
  TankState tank = tank_;
  if (tank.Started()) tank.litres += uncountedLitres_ + (trip.Everywhere().Fuel - countedTripFuel_);
  return tank;
}

std::string TripKeeper::RecordFill(const FillProposal& fill, const TripSnapshot& trip) {
  if (!fill.Recordable()) return {};
  const LocalTime now = app_.wallClock.Now();
  // The history as the store holds it, in case another copy recorded a fill-up meanwhile.
  TankState before = app_.keepsRecords ? LoadTank(store_) : TankState{};
  if (!before.Started()) before = tank_;
  // What was used before the fill-up belongs to the tank just filled: to the count a full
  // one closes, or to the count a not-full one goes on with.
  if (before.Started())
    before.litres += uncountedLitres_ + (trip.Everywhere().Fuel - countedTripFuel_);
  countedTripFuel_ = trip.Everywhere().Fuel;
  uncountedLitres_ = 0;
  tank_ = TankAfterFill(before, fill, now.unixSeconds);
  if (fill.after != fill.before) app_.calibration.SetParts(fill.after);
  if (!app_.keepsRecords) return {};
  std::string problem;
  if (!SaveTank(store_, tank_)) problem = "Счётчик бака не сохранён: настройки не записываются.";
  if (fill.after != fill.before && !SaveFuelFactor(store_, fill.after)) {
    problem = "Коэффициент не сохранён: он действует до выхода из программы.";
  }
  writer_.AddFill(FormatFillRow({now, fill}));
  return problem;
}

bool TripKeeper::SetJournalOn(bool on) {
  writer_.SetOn(on);
  return !app_.keepsRecords || SaveJournalOn(store_, on);
}

JournalContents TripKeeper::ReadJournal(std::string& problem) {
  problem.clear();
  std::string text;
  if (!app_.keepsRecords) {
    problem = "В демонстрации журнал не ведётся.";
  } else if (app_.dataFolder != nullptr) {
    const FileResult read = app_.dataFolder->Read(kTripsFile, text);
    if (!read.Ok() && read.status != FileResult::Status::NotFound) {
      problem =
          "Журнал не прочитан: " + JournalProblemCause(read, kTripsFile, JournalFolder()) + ".";
    }
  }
  return SummariseJournal(text, app_.wallClock.Now(), tank_.since);
}

std::string TripKeeper::JournalFolder() const {
  return app_.dataFolder ? app_.dataFolder->Path() : std::string();
}

std::string TripKeeper::TripsFile() const {
  return app_.dataFolder ? app_.dataFolder->PathOf(kTripsFile) : std::string();
}

std::string TripKeeper::TakeNotice() {
  std::string notice = writer_.TakeNotice();
  if (!notice_.empty()) notice += (notice.empty() ? "" : "\n") + std::exchange(notice_, {});
  return notice;
}

}  // namespace drunvale
