// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/data_folder.h"

namespace drunvale {

// The data folder on a POSIX file system. Folders it makes are 0700 and files 0600, as the
// settings are kept; appends are synced before they count as done. Files are read whole, up to
// kMaxDataFileBytes. The claim is an flock on "journal.lock" in the folder.
class PosixDataFolder final : public DataFolder {
 public:
  // An empty path fails every operation.
  explicit PosixDataFolder(std::string path) : path_(std::move(path)) {}
  ~PosixDataFolder() override;
  PosixDataFolder(const PosixDataFolder&) = delete;
  PosixDataFolder& operator=(const PosixDataFolder&) = delete;

  std::string Path() const override { return path_; }
  std::string PathOf(std::string_view name) const override;
  FileResult Read(std::string_view name, std::string& bytes) override;
  FileResult AppendLine(std::string_view name, std::string_view header,
                        std::string_view line) override;
  FileResult Replace(std::string_view name, std::string_view bytes) override;
  FileResult Remove(std::string_view name) override;
  FileResult Rename(std::string_view name, std::string_view newName) override;
  FileResult Claim() override;

 private:
  FileResult MakeFolder() const;

  std::string path_;
  int claim_ = -1;
};

inline constexpr size_t kMaxDataFileBytes = 64 << 20;

// Sorts an errno into what the journal tells the user.
FileResult ResultOfErrno(int error);

}  // namespace drunvale
