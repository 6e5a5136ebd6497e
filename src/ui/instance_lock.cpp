#include "ui/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

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

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

InstanceLock::Result InstanceLock::TryAcquire(const std::string& directory, std::string& error) {
  if (fd_ >= 0) return Result::Acquired;
  std::string path = directory + "/instance.lock";
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

bool AskRunningInstanceToShow(const std::string& socketPath, int timeoutMs) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
      // The request fits in the socket buffer: the other copy reads it whenever its event
      // loop gets to it, after this one has gone.
      ssize_t sent = send(fd, kShowRequest, sizeof(kShowRequest) - 1, MSG_NOSIGNAL);
      close(fd);
      return sent == static_cast<ssize_t>(sizeof(kShowRequest) - 1);
    }
    close(fd);
    // The lock's holder may not be listening yet while it is still starting.
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace drunvale
