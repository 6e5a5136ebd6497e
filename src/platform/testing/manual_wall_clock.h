// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

#include "platform/wall_clock.h"

namespace drunvale {

// Test double: the calendar stands still until a test moves it.
class ManualWallClock final : public WallClock {
 public:
  explicit ManualWallClock(LocalTime start = {}) : now_(start) {}
  LocalTime Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void Set(LocalTime now) {
    std::lock_guard lock(mutex_);
    now_ = now;
  }
  void Advance(int64_t seconds) {
    std::lock_guard lock(mutex_);
    now_.unixSeconds += seconds;
  }

 private:
  std::mutex mutex_;
  LocalTime now_;
};

}  // namespace drunvale
