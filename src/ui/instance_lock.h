#pragma once

#include <string>

namespace drunvale {

// The folder where this user's running copy keeps its lock and its socket: a folder only the
// user can enter, so no one else can plant or squat either. Under $XDG_RUNTIME_DIR when that
// is the user's own private folder, else /tmp/drunvale-<uid>. Empty when no safe folder can
// be had (for example one of that name belongs to someone else); `error` then says why.
std::string UserInstanceDirectory(std::string& error);

// Creates `path` as a private folder (0700) or checks that an existing one is a real folder
// owned by this user that no one else can enter.
bool EnsurePrivateDirectory(const std::string& path, std::string& error);

// Held by the copy of the program that runs; the kernel drops it when the process ends, so a
// crashed copy leaves nothing that blocks the next start.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  enum class Result { Acquired, HeldByAnother, Failed };
  Result TryAcquire(const std::string& directory, std::string& error);
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Asks the running copy to bring its window forward: connects to its socket, retrying while
// it may still be starting, and sends the request. Never waits for the other copy's event
// loop. Returns false when no one could be reached within `timeoutMs`.
bool AskRunningInstanceToShow(const std::string& socketPath, int timeoutMs);

inline constexpr char kShowRequest[] = "show\n";

}  // namespace drunvale
