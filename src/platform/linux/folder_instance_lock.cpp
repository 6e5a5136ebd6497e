// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/folder_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace drunvale {
namespace {

std::string Describe(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool IsPrivateDirectory(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

}  // namespace

bool EnsurePrivateDirectory(const std::string& path, std::string& error) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    error = Describe("cannot create", path);
    return false;
  }
  struct stat st {};
  // lstat: a symbolic link planted in the folder's place is refused, not followed.
  if (lstat(path.c_str(), &st) != 0) {
    error = Describe("cannot examine", path);
    return false;
  }
  if (!IsPrivateDirectory(st)) {
    error = path + " is not a folder of this user closed to others";
    return false;
  }
  return true;
}

std::string UserInstanceDirectory(std::string& error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    struct stat st {};
    if (lstat(runtime, &st) == 0 && IsPrivateDirectory(st)) {
      std::string path = std::string(runtime) + "/drunvale";
      if (EnsurePrivateDirectory(path, error)) return path;
    }
  }
  std::string path = "/tmp/drunvale-" + std::to_string(getuid());
  if (EnsurePrivateDirectory(path, error)) return path;
  return {};
}

FolderInstanceLock::~FolderInstanceLock() {
  if (fd_ >= 0) close(fd_);
}

InstanceLock::Result FolderInstanceLock::TryAcquire(std::string& error) {
  if (fd_ >= 0) return Result::Acquired;
  if (folder_.empty()) {
    error = folderError_;
    return Result::Failed;
  }
  std::string path = folder_ + "/instance.lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    error = Describe("cannot open", path);
    return Result::Failed;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool busy = errno == EWOULDBLOCK;
    if (!busy) error = Describe("cannot lock", path);
    close(fd);
    return busy ? Result::HeldByAnother : Result::Failed;
  }
  fd_ = fd;
  return Result::Acquired;
}

std::unique_ptr<InstanceLock> MakeUserInstanceLock() {
  std::string error;
  std::string folder = UserInstanceDirectory(error);
  return std::make_unique<FolderInstanceLock>(std::move(folder), std::move(error));
}

}  // namespace drunvale
