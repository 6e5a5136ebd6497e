// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/clock.h"
#include "settings/settings.h"
#include "sound/sound_types.h"

namespace drunvale {

// What should sound: a slot, its repetition interval (0 = continuous), pitch and looping.
struct SignalRequest {
  int32_t intervalMs = 0;
  SoundSlot slot = SoundSlot::None;
  float pitch = 0;
  bool loop = false;

  bool operator==(const SignalRequest&) const = default;
};

// The request as read under the engine lock. restarts counts the new grids asked for (a new
// slot, a phase reset, switching on), so that the player sees one even when the slot it
// names came back before it looked.
struct SignalSnapshot {
  SignalRequest request;
  int64_t gridOrigin = 0;  // clock instant of the last new grid
  uint64_t restarts = 0;
};

// Turns a consumption figure into a request: Zero at or below 0, Over at or above OverLimit,
// otherwise the MinMax band with interval and pitch blended between LevelMin and LevelMax.
SignalRequest ClassifyConsumption(const Parameters& params, float value);

// Clock ticks per millisecond, rounded to the nearest tick.
int64_t TicksPerMs(int64_t frequency);

// The engine's request side, under the engine lock. Shared with the player thread, which
// sleeps on `changed` and takes each change to the place in the signal it is rendering.
class SignalState {
 public:
  explicit SignalState(HighResClock& clock);

  // Stores a request; an identical one returns at once without the lock. A new slot starts a
  // new grid now; a new interval is counted by the player from the last beep's start.
  void SetSignal(const SignalRequest& request);
  void SetConsumption(const Parameters& params, float value);
  // No slot: the sound stops until the next request.
  void Silence() { SetSignal(SignalRequest{}); }
  // The next beep is due now, on a grid starting now.
  void ResetPhase();
  // Switching on: no slot, so the first request always starts at once.
  void Activate();
  SignalSnapshot Snapshot() const;

  int64_t ticksPerMs() const { return ticksPerMs_; }

  // For the player thread; every field below is guarded by `lock`.
  mutable std::mutex lock;
  std::condition_variable changed;
  // Bumped by every change the player thread must look at.
  uint64_t changeCount = 0;
  SignalSnapshot SnapshotLocked() const;

 private:
  void RestartLocked();

  HighResClock& clock_;
  const int64_t ticksPerMs_;
  int64_t gridOrigin_ = 0;
  uint64_t restarts_ = 0;
  // Written under the lock, but also read without it by the fast "same request" test.
  std::atomic<int32_t> intervalMs_{0};
  std::atomic<int32_t> slot_{static_cast<int32_t>(SoundSlot::None)};
  std::atomic<float> pitch_{0};
  std::atomic<bool> loop_{false};
};

}  // namespace drunvale
