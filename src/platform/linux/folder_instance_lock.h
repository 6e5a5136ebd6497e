// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace drunvale {

// The folder where this user's running copy keeps its lock and its socket: a folder only the
// user can enter, so no one else can plant or squat either. Under $XDG_RUNTIME_DIR when that
// is the user's own private folder, else /tmp/drunvale-<uid>. Empty when no safe folder can
// be had (for example one of that name belongs to someone else); `error` then says why.
std::string UserInstanceDirectory(std::string& error);

// Creates `path` as a private folder (0700) or checks that an existing one is a real folder
// owned by this user that no one else can enter.
bool EnsurePrivateDirectory(const std::string& path, std::string& error);

// The lock as a file "instance.lock" in a private folder, held with flock; the copy that holds
// it listens on "instance.sock" beside it.
class FolderInstanceLock final : public InstanceLock {
 public:
  // folder: private to the user (see UserInstanceDirectory). An empty one fails every attempt
  // with folderError.
  explicit FolderInstanceLock(std::string folder, std::string folderError = {})
      : folder_(std::move(folder)), folderError_(std::move(folderError)) {}
  ~FolderInstanceLock() override;
  FolderInstanceLock(const FolderInstanceLock&) = delete;
  FolderInstanceLock& operator=(const FolderInstanceLock&) = delete;

  Result TryAcquire(std::string& error) override;
  bool Held() const override { return fd_ >= 0; }
  std::string MeetingPoint() const override { return folder_ + "/instance.sock"; }

 private:
  std::string folder_;
  std::string folderError_;
  int fd_ = -1;
};

}  // namespace drunvale
