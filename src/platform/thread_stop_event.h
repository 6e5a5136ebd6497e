#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/stop_event.h"

namespace drunvale {

// The real manual-reset event, on a mutex and a condition variable over steady_clock.
class ThreadStopEvent final : public StopEvent {
 public:
  void Set() override;
  void Reset() override;
  bool IsSet() override;
  WaitResult Wait(uint32_t timeoutMs) override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace drunvale
