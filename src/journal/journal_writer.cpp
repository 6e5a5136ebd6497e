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
    "Журнал поездок ведёт другая копия Drunvale; эта его не пишет.";

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
  if (claimed_) Check(folder_->Remove(kCheckpointFile), kCheckpointFile);
}

bool JournalWriter::Ready() {
  if (folder_ == nullptr || !on_ || busy_) return false;
  if (claimed_) return true;
  const FileResult claim = folder_->Claim();
  if (claim.status == FileResult::Status::Busy) {
    busy_ = true;
    notice_ = kOtherCopyText;
    return false;
  }
  claimed_ = Check(claim, kTripsFile);
  return claimed_;
}

void JournalWriter::Recover() {
  if (folder_ == nullptr || !on_) return;
  std::string text;
  // Only a copy with something to recover claims the folder at its start.
  if (!folder_->Read(kCheckpointFile, text).Ok() || !Ready()) return;
  // Read again: until the claim, another copy may still have been writing it.
  if (!folder_->Read(kCheckpointFile, text).Ok()) return;
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || lines.front() != kCheckpointTitle) {
    // Not ours, or cut short before its first line: nothing in it can be trusted.
    Check(folder_->Remove(kCheckpointFile), kCheckpointFile);
    return;
  }
  for (std::string_view line : lines) {
    if (line.starts_with(kRunningWord)) {
      endedTrips_.emplace_back(line.substr(kRunningWord.size()));
    } else if (line.starts_with(kEndedWord)) {
      endedTrips_.emplace_back(line.substr(kEndedWord.size()));
    } else if (line.starts_with(kFillWord)) {
      fills_.emplace_back(line.substr(kFillWord.size()));
    }
  }
  Flush();
  WriteCheckpoint();
}

void JournalWriter::AddTrip(std::string row) {
  if (folder_ == nullptr || !on_ || busy_) return;
  running_.reset();
  endedTrips_.push_back(std::move(row));
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::AddFill(std::string row) {
  if (folder_ == nullptr || !on_ || busy_) return;
  fills_.push_back(std::move(row));
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::Checkpoint(std::optional<std::string> runningRow) {
  if (folder_ == nullptr || !on_ || busy_) return;
  running_ = std::move(runningRow);
  if (!Ready()) return;
  Flush();
  WriteCheckpoint();
}

void JournalWriter::Flush() {
  // In order; the first that will not go holds back the ones after it.
  while (!endedTrips_.empty() &&
         Check(folder_->AppendLine(kTripsFile, TripsHeader(), endedTrips_.front()), kTripsFile)) {
    endedTrips_.erase(endedTrips_.begin());
  }
  while (!fills_.empty() &&
         Check(folder_->AppendLine(kFillsFile, FillsHeader(), fills_.front()), kFillsFile)) {
    fills_.erase(fills_.begin());
  }
}

void JournalWriter::WriteCheckpoint() {
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
