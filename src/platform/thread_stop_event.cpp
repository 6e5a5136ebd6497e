#include "platform/thread_stop_event.h"

#include <chrono>

namespace drunvale {

void ThreadStopEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

void ThreadStopEvent::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool ThreadStopEvent::IsSet() {
  std::lock_guard lock(mutex_);
  return set_;
}

WaitResult ThreadStopEvent::Wait(uint32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool signalled = changed_.wait_until(lock, deadline, [this] { return set_; });
  return signalled ? WaitResult::Signalled : WaitResult::TimedOut;
}

}  // namespace drunvale
