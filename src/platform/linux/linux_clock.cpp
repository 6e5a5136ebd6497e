// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

class SteadyTickClock final : public TickClock {
 public:
  uint32_t NowMs() override {
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
  }
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

class SteadyHighResClock final : public HighResClock {
 public:
  int64_t Now() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch())
        .count();
  }
  int64_t Frequency() override { return 1'000'000'000; }
};

}  // namespace

TickClock& SystemTickClock() {
  static SteadyTickClock clock;
  return clock;
}

HighResClock& SystemHighResClock() {
  static SteadyHighResClock clock;
  return clock;
}

}  // namespace drunvale
