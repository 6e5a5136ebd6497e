// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/atomic_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace drunvale {
void SyncFolderOf(const std::string& file) {
  const size_t slash = file.rfind('/');
  const std::string folder = slash == 0 ? "/" : file.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // The rename is done; a file system that cannot sync folders only loses durability.
  fsync(fd);
  close(fd);
}

int WriteAll(int fd, std::string_view text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int ReplaceFileAtomically(const std::string& path, std::string_view text) {
  const std::string temp = path + ".tmp";
  // A leftover of an interrupted replacement goes; anything else in the way fails it.
  if (unlink(temp.c_str()) != 0 && errno != ENOENT) return errno;
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return errno;
  int error = fchmod(fd, 0600) == 0 ? 0 : errno;
  if (error == 0) error = WriteAll(fd, text);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    return error;
  }
  SyncFolderOf(path);
  return 0;
}

std::string XdgBaseFolder(const char* variable, const char* underHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/" + underHome;
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return std::string(found->pw_dir) + "/" + underHome;
  }
  return {};
}

}  // namespace drunvale
