#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/clock.h"
#include "settings/settings.h"
#include "sound/sound_types.h"

namespace drunvale {

inline constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// What should sound: a slot, its repetition interval (0 = continuous), pitch and looping.
struct SignalRequest {
  int32_t intervalMs = 0;
  SoundSlot slot = SoundSlot::None;
  float pitch = 0;
  bool loop = false;

  bool operator==(const SignalRequest&) const = default;
};

// The request together with the beep timing, as read under the engine lock.
struct SignalSnapshot {
  SignalRequest request;
  int64_t dueTime = kNever;
  int64_t gridOrigin = 0;
};

// Turns a consumption figure into a request: Zero at or below 0, Over at or above OverLimit,
// otherwise the MinMax band with interval and pitch blended between LevelMin and LevelMax.
SignalRequest ClassifyConsumption(const Parameters& params, float value);

// Clock ticks per millisecond, rounded to the nearest tick.
int64_t TicksPerMs(int64_t frequency);

// The engine's request side: the requested signal and the grid of beeps, under the engine
// lock. Shared with the player thread, which reads and advances the timing under that lock
// and sleeps on `changed` until the next instant or a new request.
class SignalState {
 public:
  explicit SignalState(HighResClock& clock);

  // Stores a request; an identical one returns at once without the lock. A new slot starts
  // now on a new grid; a new interval moves the next beep to one new interval after the last.
  void SetSignal(const SignalRequest& request);
  void SetConsumption(const Parameters& params, float value);
  // No slot: the sounding one stops and nothing falls due until the next request.
  void Silence() { SetSignal(SignalRequest{}); }
  // The next beep is due now, on a grid starting now.
  void ResetPhase();
  // Switching on: nothing due and no slot, so the first request always starts at once.
  void Activate();
  SignalSnapshot Snapshot() const;

  HighResClock& clock() { return clock_; }
  int64_t ticksPerMs() const { return ticksPerMs_; }

  // For the player thread; every field below is guarded by `lock`.
  mutable std::mutex lock;
  std::condition_variable changed;
  int64_t dueTime = kNever;
  int64_t gridOrigin = 0;
  // Bumped by every change the player thread must look at.
  uint64_t changeCount = 0;
  SignalRequest RequestLocked() const;

 private:
  void NotifyLocked() { ++changeCount; }

  HighResClock& clock_;
  const int64_t ticksPerMs_;
  // Written under the lock, but also read without it by the fast "same request" test.
  std::atomic<int32_t> intervalMs_{0};
  std::atomic<int32_t> slot_{static_cast<int32_t>(SoundSlot::None)};
  std::atomic<float> pitch_{0};
  std::atomic<bool> loop_{false};
};

}  // namespace drunvale
