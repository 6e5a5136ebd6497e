// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/thread_stop_event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace drunvale {

struct ThreadStopEvent::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool set = false;
};

ThreadStopEvent::ThreadStopEvent() : state_(std::make_unique<State>()) {}
ThreadStopEvent::~ThreadStopEvent() = default;

void ThreadStopEvent::Set() {
  {
    std::lock_guard lock(state_->mutex);
    state_->set = true;
  }
  state_->changed.notify_all();
}

void ThreadStopEvent::Reset() {
  std::lock_guard lock(state_->mutex);
  state_->set = false;
}

bool ThreadStopEvent::IsSet() {
  std::lock_guard lock(state_->mutex);
  return state_->set;
}

WaitResult ThreadStopEvent::Wait(uint32_t timeoutMs) {
  std::unique_lock lock(state_->mutex);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool signalled = state_->changed.wait_until(lock, deadline, [this] { return state_->set; });
  return signalled ? WaitResult::Signalled : WaitResult::TimedOut;
}

}  // namespace drunvale
