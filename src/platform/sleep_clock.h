// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

// How long the computer has slept (suspended or hibernated) since it started, in milliseconds:
// a clock that goes on during sleep less one that stops. It only grows, in jumps when the
// computer wakes, so two looks a while apart tell whether it slept in between.
class SleepClock {
 public:
  virtual ~SleepClock() = default;
  virtual int64_t AsleepMs() = 0;
};

// Linux: CLOCK_BOOTTIME less CLOCK_MONOTONIC (linux/linux_sleep_clock.cpp). Windows: the tick
// count less the unbiased interrupt time (windows/win_sleep_clock.cpp). Thread-safe.
SleepClock& SystemSleepClock();

}  // namespace drunvale
