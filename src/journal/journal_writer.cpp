// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_writer.h"

#include <utility>

#include "journal/csv.h"
#include "journal/journal_rows.h"
#include "platform/system_error.h"

namespace drunvale {
namespace {

constexpr std::string_view kRunningWord = "trip ";
constexpr std::string_view kEndedWord = "ended ";
constexpr std::string_view kFillWord = "fill ";

constexpr const char* kOtherCopyText =
    "Журнал поездок ведёт другая копия Drunvale; поездки этой копии будут записаны, когда та "
    "закончит.";

}  // namespace

std::string JournalProblemCause(const FileResult& result, std::string_view file,
                                const std::string& folder) {
  std::string cause;
  switch (result.status) {
    case FileResult::Status::NoSpace:
      cause = "диск полон";
      break;
    case FileResult::Status::NoAccess:
      cause = "нет права на запись в " + folder;
      break;
    case FileResult::Status::Busy:
      cause = std::string(file) + " занят другой программой";
      break;
    default:
      cause = std::string(file) + ": " + SystemErrorText(result.systemError);
      break;
  }
  return cause;
}

std::string JournalProblemText(const FileResult& result, std::string_view file,
                               const std::string& folder) {
  return "Журнал поездок не записан: " + JournalProblemCause(result, file, folder) +
         ". Счёт идёт дальше.";
}

void JournalWriter::SetOn(bool on) {
  if (on == on_) return;
  on_ = on;
  if (on) return;
  endedTrips_.clear();
  fills_.clear();
  running_.reset();
  if (claimed_ && !checkpointKept_) Check(folder_->Remove(kCheckpointFile), kCheckpointFile);
}

bool JournalWriter::Ready() {
  if (folder_ == nullptr || !on_) return false;
  if (claimed_) return true;
  const FileResult claim = folder_->Claim();
  if (claim.status == FileResult::Status::Busy) {
    if (!busy_) notice_ = kOtherCopyText;
    busy_ = true;
    return false;
  }
  if (!Check(claim, kTripsFile)) return false;
  claimed_ = true;
  busy_ = false;
  TakeOverCheckpoint();
  return true;
}

void JournalWriter::Recover() {
  if (folder_ == nullptr || !on_) return;
  std::string text;
  // Only a copy with something to recover claims the folder at its start.
  if (folder_->Read(kCheckpointFile, text).status == FileResult::Status::NotFound) return;
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::TakeOverCheckpoint() {
  std::string text;
  // Read again now that the folder is ours: until the claim another copy may have written it.
  const FileResult read = folder_->Read(kCheckpointFile, text);
  if (read.status == FileResult::Status::NotFound) return;
  const std::vector<std::string_view> lines = SplitLines(text);
  if (!read.Ok() || lines.empty() || lines.front() != kCheckpointTitle) {
    // Unreadable, cut short before its first line, or a newer version's: not ours to judge.
    KeepCheckpointAside(read);
    return;
  }
  std::vector<std::string> trips, fills;
  for (std::string_view line : lines) {
    if (line.starts_with(kRunningWord)) {
      trips.emplace_back(line.substr(kRunningWord.size()));
    } else if (line.starts_with(kEndedWord)) {
      trips.emplace_back(line.substr(kEndedWord.size()));
    } else if (line.starts_with(kFillWord)) {
      fills.emplace_back(line.substr(kFillWord.size()));
    }
  }
  // What the files and this copy hold already is not written again.
  auto known = [this](std::string_view file, const std::vector<std::string>& kept) {
    std::set<std::string, std::less<>> firsts;
    std::string bytes;
    // A file that cannot be read holds nothing to compare with; its rows come again at worst.
    (void)folder_->Read(file, bytes);
    const char separator = FormOfFile(bytes, 0, regional_).listSeparator;
    std::vector<std::string> fields;
    for (std::string_view line : SplitLines(bytes)) {
      if (SplitCsvLine(line, fields, separator)) firsts.insert(fields.front());
    }
    for (const std::string& row : kept) {
      if (SplitCsvLine(row, fields)) firsts.insert(fields.front());
    }
    return firsts;
  };
  auto join = [](std::vector<std::string>& found, const std::set<std::string, std::less<>>& firsts,
                 std::vector<std::string>& kept) {
    std::vector<std::string> fields;
    std::erase_if(found, [&](const std::string& row) {
      return SplitCsvLine(row, fields) && firsts.contains(fields.front());
    });
    // Left behind before this copy's own rows, so they go first.
    kept.insert(kept.begin(), found.begin(), found.end());
  };
  join(trips, known(kTripsFile, endedTrips_), endedTrips_);
  join(fills, known(kFillsFile, fills_), fills_);
}

void JournalWriter::KeepCheckpointAside(const FileResult& read) {
  std::string kept(kKeptCheckpointFile);
  FileResult moved;
  for (int n = 2; n <= 100; ++n) {
    moved = folder_->Rename(kCheckpointFile, kept);
    if (moved.status != FileResult::Status::Busy) break;
    kept = "checkpoint-kept-" + std::to_string(n) + ".txt";
  }
  const std::string why =
      read.Ok() ? std::string("записан другой версией Drunvale")
                : "не прочитан: " + JournalProblemCause(read, kCheckpointFile, folder_->Path());
  if (moved.Ok()) {
    notice_ = "Файл " + std::string(kCheckpointFile) + " " + why + "; он сохранён как " + kept +
              ". Журнал пишется дальше.";
    return;
  }
  // Kept where it is, untouched; this run's rows then wait in memory.
  checkpointKept_ = true;
  notice_ = "Файл " + std::string(kCheckpointFile) + " " + why +
            " и не может быть отложен; он оставлен как есть.";
}

void JournalWriter::AddTrip(std::string row) {
  if (folder_ == nullptr || !on_) return;
  running_.reset();
  endedTrips_.push_back(std::move(row));
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::AddFill(std::string row) {
  if (folder_ == nullptr || !on_) return;
  fills_.push_back(std::move(row));
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::Checkpoint(std::optional<std::string> runningRow) {
  if (folder_ == nullptr || !on_) return;
  running_ = std::move(runningRow);
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::Flush() {
  FlushFile(kTripsFile, endedTrips_, tripsForm_, kTripNumberAt, kTripNumberFields, TripsHeader);
  FlushFile(kFillsFile, fills_, fillsForm_, kFillNumberAt, kFillNumberFields, FillsHeader);
}

void JournalWriter::FlushFile(std::string_view file, std::vector<std::string>& rows,
                              std::optional<RegionalNumbers>& form, size_t numberAt,
                              size_t numberFields, std::string (*header)(char)) {
  if (rows.empty()) return;
  if (!form) {
    std::string bytes;
    const FileResult read = folder_->Read(file, bytes);
    // Rows in a form other than the file's would spoil its columns: none go unread.
    if (!read.Ok() && read.status != FileResult::Status::NotFound) {
      Check(read, file);
      return;
    }
    form = FormOfFile(bytes, numberAt, regional_);
  }
  const std::string head = header(form->listSeparator);
  while (
      !rows.empty() &&
      Check(folder_->AppendLine(file, head, RowInForm(rows.front(), *form, numberFields)), file)) {
    rows.erase(rows.begin());
  }
}

void JournalWriter::WriteCheckpoint() {
  if (checkpointKept_) return;
  if (!running_ && endedTrips_.empty() && fills_.empty()) {
    Check(folder_->Remove(kCheckpointFile), kCheckpointFile);
    return;
  }
  std::string text(kCheckpointTitle);
  text += '\n';
  if (running_) text.append(kRunningWord).append(*running_).push_back('\n');
  for (const std::string& row : endedTrips_)
    text.append(kEndedWord).append(row).push_back('\n');
  for (const std::string& row : fills_)
    text.append(kFillWord).append(row).push_back('\n');
  Check(folder_->Replace(kCheckpointFile, text), kCheckpointFile);
}

bool JournalWriter::Check(const FileResult& result, std::string_view file) {
  const auto failing = failing_.find(file);
  if (result.Ok()) {
    if (failing != failing_.end()) failing_.erase(failing);
    return true;
  }
  if (failing == failing_.end()) {
    notice_ = JournalProblemText(result, file, folder_->Path());
    failing_.emplace(file);
  }
  return false;
}

std::string JournalWriter::TakeNotice() {
  return std::exchange(notice_, {});
}

}  // namespace drunvale
