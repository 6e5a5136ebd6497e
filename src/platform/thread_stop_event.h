// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/stop_event.h"

namespace drunvale {

// The real manual-reset event shared between threads: a mutex and a condition variable over
// steady_clock on Linux (linux/linux_stop_event.cpp), an event object on Windows
// (windows/win_stop_event.cpp).
class ThreadStopEvent final : public StopEvent {
 public:
  ThreadStopEvent();
  ~ThreadStopEvent() override;
  ThreadStopEvent(const ThreadStopEvent&) = delete;
  ThreadStopEvent& operator=(const ThreadStopEvent&) = delete;

  void Set() override;
  void Reset() override;
  bool IsSet() override;
  WaitResult Wait(uint32_t timeoutMs) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace drunvale
