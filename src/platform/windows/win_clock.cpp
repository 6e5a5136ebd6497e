// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/clock.h"

namespace drunvale {
namespace {

// GetTickCount wraps after 49.7 days exactly as the 32-bit tick is meant to.
class WinTickClock final : public TickClock {
 public:
  uint32_t NowMs() override { return GetTickCount(); }
  void SleepMs(uint32_t ms) override { Sleep(ms); }
};

class WinHighResClock final : public HighResClock {
 public:
  WinHighResClock() {
    LARGE_INTEGER frequency;
    // Never fails on Windows XP and later.
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart;
  }
  int64_t Now() override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
  }
  int64_t Frequency() override { return frequency_; }

 private:
  int64_t frequency_ = 0;
};

}  // namespace

TickClock& SystemTickClock() {
  static WinTickClock clock;
  return clock;
}

HighResClock& SystemHighResClock() {
  static WinHighResClock clock;
  return clock;
}

}  // namespace drunvale
