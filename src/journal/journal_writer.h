// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/data_folder.h"
#include "platform/regional_numbers.h"

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
// folder. Another keeps its rows meanwhile and asks again at its next checkpoint and at each
// trip's end; once it has the folder it takes over what the checkpoint there holds and writes
// its own rows after.
//
// Recovering is idempotent: a row from a checkpoint whose trip start (or fill-up date) is in
// its file already is not written again, so a checkpoint that outlived its removal (a power cut
// before the removal reached the disk) never counts a trip twice. A checkpoint this program
// cannot read or does not know is kept under another name, never overwritten.
class JournalWriter {
 public:
  // folder null: no journal at all. regional: the form new files take (csv.h).
  explicit JournalWriter(DataFolder* folder, RegionalNumbers regional = {})
      : folder_(folder), regional_(regional) {}

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

  // The name a checkpoint is kept under when it is not ours to read.
  static constexpr std::string_view kKeptCheckpointFile = "checkpoint-kept.txt";

 private:
  // Claims the folder when it is free; on the claim the checkpoint found there is taken over.
  bool Ready();
  void TakeOverCheckpoint();
  void KeepCheckpointAside(const FileResult& read);
  void Flush();
  // Appends rows in order; the first that will not go holds back the ones after it.
  void FlushFile(std::string_view file, std::vector<std::string>& rows,
                 std::optional<RegionalNumbers>& form, size_t numberAt, size_t numberFields,
                 std::string (*header)(char));
  void WriteCheckpoint();
  // What an operation on `file` ended with: a failure is said once, until one succeeds.
  bool Check(const FileResult& result, std::string_view file);

  DataFolder* folder_;
  RegionalNumbers regional_;
  std::optional<RegionalNumbers> tripsForm_;
  std::optional<RegionalNumbers> fillsForm_;
  bool on_ = true;
  bool claimed_ = false;
  bool busy_ = false;            // another copy keeps the journal
  bool checkpointKept_ = false;  // a foreign checkpoint could not be moved aside: never touch it
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
