// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/sleep_clock.h"

namespace drunvale {

// Tells the connection worker that the computer slept since it last looked. After a sleep an
// open port's handle may be dead without saying so, and a USB adapter often comes back as a new
// device: the port is closed and opened anew at once, rather than after 20 unanswered polls.
class WakeWatch {
 public:
  // A jump of the time asleep by more than this is a sleep; the two clocks behind it part by
  // a few milliseconds at most otherwise.
  static constexpr int64_t kMinSleepMs = 2000;

  explicit WakeWatch(SleepClock& clock) : clock_(clock), asleep_(clock.AsleepMs()) {}

  // Forgets the sleeps so far: a port opened now has not been through them.
  void Restart() { asleep_ = clock_.AsleepMs(); }
  // True once for each sleep since the last look.
  bool WokeUp() {
    const int64_t asleep = clock_.AsleepMs();
    const bool woke = asleep - asleep_ > kMinSleepMs;
    asleep_ = asleep;
    return woke;
  }

 private:
  SleepClock& clock_;
  int64_t asleep_;
};

}  // namespace drunvale
