// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

// A 32-bit millisecond tick that wraps, as the trip computer and the ECU link count time.
// Intervals are taken by unsigned subtraction, which absorbs one wrap.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual uint32_t NowMs() = 0;
  // A plain sleep; the manual double advances its time instead.
  virtual void SleepMs(uint32_t ms) = 0;
};

// A monotonic high-resolution counter for the sound engine's beep grid.
class HighResClock {
 public:
  virtual ~HighResClock() = default;
  virtual int64_t Now() = 0;
  // Counter ticks per second.
  virtual int64_t Frequency() = 0;
};

// The process's real clocks (steady_clock underneath); shared, thread-safe.
TickClock& SystemTickClock();
HighResClock& SystemHighResClock();

}  // namespace drunvale
