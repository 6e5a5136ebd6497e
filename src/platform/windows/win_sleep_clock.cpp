// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/sleep_clock.h"

namespace drunvale {
namespace {

// Both count from the same interrupt clock; the tick count goes on through sleep and
// hibernation, the unbiased interrupt time does not. The tick count moves in steps of 10 to
// 16 ms, far below any sleep worth noticing.
class InterruptTimeSleepClock final : public SleepClock {
 public:
  int64_t AsleepMs() override {
    ULONGLONG awake = 0;  // 100 ns units
    QueryUnbiasedInterruptTime(&awake);
    return static_cast<int64_t>(GetTickCount64()) - static_cast<int64_t>(awake / 10'000);
  }
};

}  // namespace

SleepClock& SystemSleepClock() {
  static InterruptTimeSleepClock clock;
  return clock;
}

}  // namespace drunvale
