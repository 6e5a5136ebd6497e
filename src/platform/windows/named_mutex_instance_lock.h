// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace drunvale {

// The lock as a named mutex in the session's own namespace ("Local\"): the first copy creates
// it, a later one finds it there. The system drops it with the last handle, when its holder
// ends. The copy holding it can be reached through a named pipe of the same name.
class NamedMutexInstanceLock final : public InstanceLock {
 public:
  // name: without the namespace; the same for every copy that must exclude the others. An empty
  // one fails every attempt with nameError.
  explicit NamedMutexInstanceLock(std::string name, std::string nameError = {})
      : name_(std::move(name)), nameError_(std::move(nameError)) {}
  ~NamedMutexInstanceLock() override;
  NamedMutexInstanceLock(const NamedMutexInstanceLock&) = delete;
  NamedMutexInstanceLock& operator=(const NamedMutexInstanceLock&) = delete;

  Result TryAcquire(std::string& error) override;
  bool Held() const override { return mutex_ != nullptr; }
  std::string MeetingPoint() const override { return "\\\\.\\pipe\\" + name_; }

 private:
  std::string name_;
  std::string nameError_;
  void* mutex_ = nullptr;  // HANDLE
};

// The name this user's copies share in this session: the user's security identifier and the
// session's number keep other users and other logons of the same user apart. Empty with
// `error` when the user cannot be told.
std::string UserInstanceName(std::string& error);

}  // namespace drunvale
