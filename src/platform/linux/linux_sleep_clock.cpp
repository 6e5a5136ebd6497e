// SPDX-License-Identifier: GPL-3.0-or-later
#include <time.h>

#include "platform/sleep_clock.h"

namespace drunvale {
namespace {

int64_t Milliseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

// The kernel keeps both clocks from one source; they part only by the time spent suspended.
class BootTimeSleepClock final : public SleepClock {
 public:
  int64_t AsleepMs() override {
    // Monotonic first, so the difference never goes below zero while nothing slept: the
    // operands of a subtraction may be read in either order.
    const int64_t awake = Milliseconds(CLOCK_MONOTONIC);
    return Milliseconds(CLOCK_BOOTTIME) - awake;
  }
};

}  // namespace

SleepClock& SystemSleepClock() {
  static BootTimeSleepClock clock;
  return clock;
}

}  // namespace drunvale
