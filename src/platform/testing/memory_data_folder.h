// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/data_folder.h"

namespace drunvale {

// Test double of the data folder: files in memory, with the real folder's rules (the header
// of a new file, the line break after a cut-short tail, the claim of one copy) and failures on
// demand. Copies made by Another() see the same files and hold claims of their own, as two
// running copies of the program would.
class MemoryDataFolder final : public DataFolder {
 public:
  explicit MemoryDataFolder(std::string path = "/home/driver/.local/share/Tembrook/Drunvale");
  ~MemoryDataFolder() override;

  std::unique_ptr<MemoryDataFolder> Another() const;

  std::string Path() const override { return state_->path; }
  std::string PathOf(std::string_view name) const override;
  FileResult Read(std::string_view name, std::string& bytes) override;
  FileResult AppendLine(std::string_view name, std::string_view header,
                        std::string_view line) override;
  FileResult Replace(std::string_view name, std::string_view bytes) override;
  FileResult Remove(std::string_view name) override;
  FileResult Rename(std::string_view name, std::string_view newName) override;
  FileResult Claim() override;

  // Every later write (append, replace, remove, claim) fails so, and changes nothing; Ok heals.
  void FailWrites(FileResult::Status status) { state_->failWrites = status; }
  void FailReads(FileResult::Status status) { state_->failReads = status; }
  // nullptr when there is no such file.
  const std::string* File(std::string_view name) const;
  void Put(std::string_view name, std::string bytes);
  int Writes() const { return state_->writes; }
  // A power cut before the last removal reached the disk: the file removed last is back.
  void LoseLastRemoval();

 private:
  struct State {
    std::string path;
    std::map<std::string, std::string, std::less<>> files;
    FileResult::Status failWrites = FileResult::Status::Ok;
    FileResult::Status failReads = FileResult::Status::Ok;
    const MemoryDataFolder* claimedBy = nullptr;
    int writes = 0;
    std::optional<std::pair<std::string, std::string>> lastRemoved;
  };
  explicit MemoryDataFolder(std::shared_ptr<State> state) : state_(std::move(state)) {}
  std::optional<FileResult> FailedWrite();

  std::shared_ptr<State> state_;
};

}  // namespace drunvale
