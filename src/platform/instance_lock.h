// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace drunvale {

// Decides which copy of the program is the one that runs for this user: the first to take the
// lock. The system drops the lock when the process ends, so a copy that crashed blocks nothing.
class InstanceLock {
 public:
  enum class Result { Acquired, HeldByAnother, Failed };

  virtual ~InstanceLock() = default;
  // Takes the lock unless another copy holds it; kept until this object goes. Failed, with
  // error saying why, when it cannot be told whether another copy runs.
  virtual Result TryAcquire(std::string& error) = 0;
  virtual bool Held() const = 0;
  // Where the copy holding the lock can be reached by the others: the name of a local socket
  // that only this user can use.
  virtual std::string MeetingPoint() const = 0;
};

// The lock of this user's copies (Linux: a file in the user's private runtime folder).
std::unique_ptr<InstanceLock> MakeUserInstanceLock();

}  // namespace drunvale
