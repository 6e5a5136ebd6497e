// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/data_folder.h"

namespace drunvale {

// The checkpoint of the running trip, beside the journal. Its first line names it; then one
// line per row, each a row of trips.csv or fills.csv behind a word that says what it is:
//   "trip <row>"   the running trip, marked as ended by a power loss, as it stood at the last
//                  checkpoint: found at a start, it is what a power cut or crash left behind;
//   "ended <row>"  a trip that ended but could not be added to trips.csv yet;
//   "fill <row>"   a fill-up that could not be added to fills.csv yet.
inline constexpr std::string_view kCheckpointFile = "checkpoint.txt";
inline constexpr std::string_view kCheckpointTitle = "drunvale checkpoint 1";

// Writes the journal on the UI thread, never on the connection worker's. Rows are appended and
// never rewritten. A row that cannot be written (a full disk, no right to write, a file a
// spreadsheet program keeps locked) is kept: in memory, in the checkpoint, and written when
// the file takes it again, or at the next start. Whatever fails, measuring goes on; what went
// wrong is said once, until writing works again.
//
// Only one running copy of the program writes the journal: the first that needs to claims the
// folder, and any other writes nothing.
class JournalWriter {
 public:
  // folder null: no journal at all.
  explicit JournalWriter(DataFolder* folder) : folder_(folder) {}

  bool On() const { return on_; }
  // Off: nothing more is written and rows not yet written are dropped; the checkpoint of the
  // running trip goes, so that it is not found as a power loss later.
  void SetOn(bool on);

  // At the start: a checkpoint left behind becomes rows of the journal.
  void Recover();
  // A trip ended, or a fill-up was recorded: the row goes to its file, and the running trip's
  // checkpoint, if any, goes.
  void AddTrip(std::string row);
  void AddFill(std::string row);
  // The running trip as the checkpoint should hold it (nullopt: none). Rows kept back are
  // tried again first.
  void Checkpoint(std::optional<std::string> runningRow);

  // The problem to tell the user about, once; empty when there is nothing new.
  std::string TakeNotice();

  // Rows waiting for their file.
  size_t Waiting() const { return endedTrips_.size() + fills_.size(); }
  bool WritesElsewhere() const { return busy_; }

 private:
  bool Ready();
  void Flush();
  void WriteCheckpoint();
  // What an operation on `file` ended with: a failure is said once, until one succeeds.
  bool Check(const FileResult& result, std::string_view file);

  DataFolder* folder_;
  bool on_ = true;
  bool claimed_ = false;
  bool busy_ = false;  // another copy keeps the journal
  std::optional<std::string> running_;
  std::vector<std::string> endedTrips_;
  std::vector<std::string> fills_;
  // The files whose failure has been said; a success on one lets its next failure be said.
  std::set<std::string, std::less<>> failing_;
  std::string notice_;
};

// The user's words for what went wrong with a file of the data folder ("диск полон"), and the
// whole notice of a failed write.
std::string JournalProblemCause(const FileResult& result, std::string_view file,
                                const std::string& folder);
std::string JournalProblemText(const FileResult& result, std::string_view file,
                               const std::string& folder);

}  // namespace drunvale
