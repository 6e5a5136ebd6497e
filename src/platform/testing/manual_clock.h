// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/clock.h"
#include "platform/sleep_clock.h"
#include "platform/stop_event.h"

namespace drunvale {

// Test double: time stands still until a test, a sleep or a wait moves it.
class ManualTickClock final : public TickClock {
 public:
  explicit ManualTickClock(uint32_t startMs = 0) : now_(startMs) {}
  uint32_t NowMs() override { return now_.load(); }
  void SleepMs(uint32_t ms) override { Advance(ms); }
  void Advance(uint32_t ms) { now_.fetch_add(ms); }
  void Set(uint32_t ms) { now_.store(ms); }

 private:
  std::atomic<uint32_t> now_;
};

class ManualHighResClock final : public HighResClock {
 public:
  explicit ManualHighResClock(int64_t frequency = 1'000'000, int64_t start = 0)
      : frequency_(frequency), now_(start) {}
  int64_t Now() override { return now_.load(); }
  int64_t Frequency() override { return frequency_; }
  void Advance(int64_t ticks) { now_.fetch_add(ticks); }
  void AdvanceMs(int64_t ms) { now_.fetch_add(ms * ((frequency_ + 500) / 1000)); }
  void Set(int64_t ticks) { now_.store(ticks); }

 private:
  int64_t frequency_;
  std::atomic<int64_t> now_;
};

// The computer's sleep on virtual time: Sleep adds to the time asleep and leaves every other
// clock as it is, as the monotonic clocks the link and the trip run on stand still meanwhile.
class ManualSleepClock final : public SleepClock {
 public:
  int64_t AsleepMs() override { return asleep_.load(); }
  void Sleep(int64_t ms) { asleep_.fetch_add(ms); }

 private:
  std::atomic<int64_t> asleep_{0};
};

// A stop event on virtual time: a wait that is not signalled moves the clock by its timeout.
// SetAt arranges for the event to become set when virtual time reaches the given tick.
class ManualStopEvent final : public StopEvent {
 public:
  explicit ManualStopEvent(ManualTickClock& clock) : clock_(clock) {}
  void Set() override { set_ = true; }
  void Reset() override {
    set_ = false;
    setAt_.reset();
  }
  bool IsSet() override;
  WaitResult Wait(uint32_t timeoutMs) override;
  void SetAt(uint32_t tickMs) { setAt_ = tickMs; }
  int waits() const { return waits_; }

 private:
  ManualTickClock& clock_;
  bool set_ = false;
  std::optional<uint32_t> setAt_;
  int waits_ = 0;
};

}  // namespace drunvale
