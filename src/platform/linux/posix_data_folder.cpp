// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/posix_data_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/linux/atomic_file.h"

namespace drunvale {
namespace {

using Status = FileResult::Status;

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

FileResult ResultOfErrno(int error) {
  switch (error) {
    case 0:
      return {};
    case ENOENT:
      return {Status::NotFound, error};
    case ENOSPC:
    case EDQUOT:
      return {Status::NoSpace, error};
    case EACCES:
    case EPERM:
    case EROFS:
      return {Status::NoAccess, error};
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
      return {Status::Busy, error};
    default:
      return {Status::Failed, error};
  }
}

PosixDataFolder::~PosixDataFolder() {
  if (claim_ >= 0) close(claim_);
}

std::string PosixDataFolder::PathOf(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

FileResult PosixDataFolder::MakeFolder() const {
  if (path_.empty() || path_[0] != '/') return {Status::Failed, ENOENT};
  for (size_t slash = path_.find('/', 1);; slash = path_.find('/', slash + 1)) {
    const std::string folder = path_.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && !(errno == EEXIST && IsDirectory(folder))) {
      return ResultOfErrno(errno == EEXIST ? ENOTDIR : errno);
    }
    if (slash == std::string::npos) return {};
  }
}

FileResult PosixDataFolder::Read(std::string_view name, std::string& bytes) {
  bytes.clear();
  if (path_.empty()) return {Status::NotFound, ENOENT};
  // Non-blocking, so that a FIFO put in the file's place cannot hang the open.
  const int fd = open(PathOf(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return ResultOfErrno(errno);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return {Status::Failed, EINVAL};
  }
  FileResult result;
  char chunk[16384];
  while (true) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) result = ResultOfErrno(errno);
    if (n <= 0) break;
    if (bytes.size() + static_cast<size_t>(n) > kMaxDataFileBytes) {
      result = {Status::Failed, EFBIG};
      break;
    }
    bytes.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  if (!result.Ok()) bytes.clear();
  return result;
}

FileResult PosixDataFolder::AppendLine(std::string_view name, std::string_view header,
                                       std::string_view line) {
  if (FileResult made = MakeFolder(); !made.Ok()) return made;
  const int fd =
      open(PathOf(name).c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return ResultOfErrno(errno);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return {Status::Failed, EINVAL};
  }
  const off_t size = info.st_size;
  std::string text;
  if (size == 0) {
    text.append(header).push_back('\n');
  } else {
    char last = 0;
    if (pread(fd, &last, 1, size - 1) != 1) last = 0;
    if (last != '\n') text.push_back('\n');
  }
  text.append(line).push_back('\n');
  int error = WriteAll(fd, text);
  if (error == 0 && fdatasync(fd) != 0) error = errno;
  // A new file's name must last as long as its first row does.
  if (error == 0 && size == 0) SyncFolderOf(PathOf(name));
  // What a failed write left behind goes, so that the next row starts where this one did.
  // Should that fail too, the next append starts a line of its own after the tail.
  if (error != 0) {
    const int ignored = ftruncate(fd, size);
    (void)ignored;
  }
  close(fd);
  return ResultOfErrno(error);
}

FileResult PosixDataFolder::Replace(std::string_view name, std::string_view bytes) {
  if (FileResult made = MakeFolder(); !made.Ok()) return made;
  return ResultOfErrno(ReplaceFileAtomically(PathOf(name), bytes));
}

FileResult PosixDataFolder::Remove(std::string_view name) {
  if (path_.empty()) return {};
  const std::string path = PathOf(name);
  if (unlink(path.c_str()) != 0) return errno == ENOENT ? FileResult{} : ResultOfErrno(errno);
  // Else the file may come back after a power cut, and what it held be counted again.
  SyncFolderOf(path);
  return {};
}

FileResult PosixDataFolder::Rename(std::string_view name, std::string_view newName) {
  if (path_.empty()) return {Status::NotFound, ENOENT};
  const std::string from = PathOf(name);
  const std::string to = PathOf(newName);
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return ResultOfErrno(errno == EEXIST ? EBUSY : errno);
    // A file system without the flag: the check and the rename are not one step there.
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0) return ResultOfErrno(EBUSY);
    if (rename(from.c_str(), to.c_str()) != 0) return ResultOfErrno(errno);
  }
  SyncFolderOf(to);
  return {};
}

FileResult PosixDataFolder::Claim() {
  if (claim_ >= 0) return {};
  if (FileResult made = MakeFolder(); !made.Ok()) return made;
  const int fd =
      open(PathOf("journal.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return ResultOfErrno(errno);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return ResultOfErrno(error);
  }
  claim_ = fd;
  return {};
}

std::unique_ptr<DataFolder> OpenDataFolderAt(const std::string& path) {
  return std::make_unique<PosixDataFolder>(path);
}

std::string UserDataFolderPlace() {
  return "$XDG_DATA_HOME/Tembrook/Drunvale (~/.local/share/Tembrook/Drunvale unless\n"
         "XDG_DATA_HOME is set)";
}

std::unique_ptr<DataFolder> OpenUserDataFolder() {
  const std::string base = XdgBaseFolder("XDG_DATA_HOME", ".local/share");
  return OpenDataFolderAt(base.empty() ? "" : base + "/Tembrook/Drunvale");
}

}  // namespace drunvale
