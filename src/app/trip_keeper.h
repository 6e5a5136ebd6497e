// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "journal/fill_up.h"
#include "journal/journal_rows.h"
#include "journal/journal_summary.h"
#include "journal/journal_writer.h"
#include "trip/trip_computer.h"

namespace drunvale {

class AppCore;
class UserStore;

// The trip beyond the panel, on the UI thread: the fuel factor, the tank counter and the trip
// journal. It follows the panel's trip (from its first sample to "Обнулить" or closing) and
// writes a row when it ends, checkpoints it every kCheckpointMs so that a power cut loses at
// most that much, and records fill-ups.
class TripKeeper {
 public:
  static constexpr uint32_t kCheckpointMs = 30000;

  TripKeeper(AppCore& app, UserStore& store);

  // Loads the factor, the journal switch and the tank counter, and turns a trip left behind
  // by a power cut into its row.
  void Initialise();
  // Every refresh tick while polling runs: notes when the trip began; each kCheckpointMs it
  // checkpoints the trip and adds the litres used since to the stored tank counter.
  void Tick(const TripSnapshot& trip);
  // Polling stopped: checkpointed now, as the figures will stand still.
  void Stopped(const TripSnapshot& trip);
  // The trip shown at its end: its row goes to the journal when the engine ran at all.
  void TripEnded(const TripSnapshot& trip, TripEnd how);
  // The control unit's identification line, for the rows of trips driven with it.
  void SetControlUnit(std::string line) { controlUnit_ = std::move(line); }

  uint32_t Factor() const;
  // The counter with the running trip's litres in it.
  TankState Tank(const TripSnapshot& trip) const;
  // Records a fill-up the driver confirmed: the counter starts anew, the factor takes the
  // proposal's, fills.csv gets its row. Returns what could not be stored ("" when all was).
  std::string RecordFill(const FillProposal& fill, const TripSnapshot& trip);

  bool JournalOn() const { return writer_.On(); }
  // Rows of the journal that wait for their file.
  size_t RowsWaiting() const { return writer_.Waiting(); }
  // Stored at once. False when the store would not take it (the switch holds for this run).
  bool SetJournalOn(bool on);
  // trips.csv as it is now. problem: why it could not be read, or "".
  JournalContents ReadJournal(std::string& problem);
  std::string JournalFolder() const;
  std::string TripsFile() const;

  // What to tell the user, once per problem; "" when nothing new went wrong.
  std::string TakeNotice();

 private:
  void NoteStart(const TripSnapshot& trip);
  // Adds the litres the trip used since the last call to the stored counter; they wait for the
  // next call when the store will not take them.
  void CountTank(const TripSnapshot& trip);
  void Checkpoint(const TripSnapshot& trip);
  TripRecord RecordOf(const TripSnapshot& trip, TripEnd how) const;

  AppCore& app_;
  UserStore& store_;
  JournalWriter writer_;
  TankState tank_;
  std::optional<LocalTime> tripStart_;
  std::string controlUnit_;
  // The running trip's litres already handed to the counter, and those the store refused.
  float countedTripFuel_ = 0;
  double uncountedLitres_ = 0;
  uint32_t lastCheckpointTick_ = 0;
  TripFigures lastCheckpointed_;
  bool storeFailing_ = false;
  std::string notice_;
};

}  // namespace drunvale
