// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/signal_request.h"

#include <cmath>

namespace drunvale {
namespace {

SignalRequest FromLevel(const LevelSettings& level, SoundSlot slot) {
  if (level.UseTone) return {level.IntervalMs, slot, static_cast<float>(level.ToneHz), true};
  return {level.IntervalMs, slot, static_cast<float>(level.SampleRate), level.AutoRepeat};
}

int32_t RoundHalfUp(double x) {
  return static_cast<int32_t>(std::floor(x + 0.5));
}

}  // namespace

SignalRequest ClassifyConsumption(const Parameters& params, float value) {
  if (value <= 0) return FromLevel(params.LevelZero, SoundSlot::Zero);
  const double limit = static_cast<float>(params.OverLimit);
  if (value >= limit) return FromLevel(params.LevelOver, SoundSlot::Over);

  const double v = value;
  const double o = v / limit;
  const LevelSettings& lo = params.LevelMin;
  const LevelSettings& hi = params.LevelMax;
  const double g = lo.IntervalMs;
  const double h = hi.IntervalMs;
  int32_t interval;
  if (lo.IntervalMs >= hi.IntervalMs) {
    if (lo.IntervalMs == 0) {
      interval = 0;
    } else if (v <= h * (limit / g)) {
      interval = lo.IntervalMs;
    } else {
      interval = RoundHalfUp(h / o);
    }
  } else {
    interval = g * (limit / h) < limit - v ? RoundHalfUp(g / (1 - o)) : hi.IntervalMs;
  }

  SignalRequest request;
  request.intervalMs = interval;
  request.slot = SoundSlot::MinMax;
  if (lo.UseTone) {
    const double diff = static_cast<int32_t>(hi.ToneHz) - static_cast<int32_t>(lo.ToneHz);
    request.pitch = static_cast<float>(lo.ToneHz + o * diff);
    request.loop = true;
  } else {
    const double diff = static_cast<double>(hi.SampleRate) - static_cast<double>(lo.SampleRate);
    request.pitch = static_cast<float>(lo.SampleRate + o * diff);
    request.loop = lo.AutoRepeat;
  }
  return request;
}

int64_t TicksPerMs(int64_t frequency) {
  // A counter whose rate can't be read is taken as 100 ns units, like a file time.
  if (frequency <= 0) return 10000;
  return (frequency + 500) / 1000;
}

SignalState::SignalState(HighResClock& clock)
    : clock_(clock), ticksPerMs_(TicksPerMs(clock.Frequency())) {}

SignalSnapshot SignalState::SnapshotLocked() const {
  return {{intervalMs_.load(std::memory_order_relaxed),
           static_cast<SoundSlot>(slot_.load(std::memory_order_relaxed)),
           pitch_.load(std::memory_order_relaxed), loop_.load(std::memory_order_relaxed)},
          gridOrigin_,
          restarts_};
}

void SignalState::RestartLocked() {
  gridOrigin_ = clock_.Now();
  ++restarts_;
}

void SignalState::SetSignal(const SignalRequest& request) {
  // Each engine gets its requests from one thread, so these lock-free reads see that thread's
  // own last writes; the atomics keep them race-free against the player's reads.
  if (request.intervalMs == intervalMs_.load(std::memory_order_relaxed) &&
      static_cast<int32_t>(request.slot) == slot_.load(std::memory_order_relaxed) &&
      request.pitch == pitch_.load(std::memory_order_relaxed) &&
      request.loop == loop_.load(std::memory_order_relaxed)) {
    return;
  }
  {
    std::lock_guard guard(lock);
    if (static_cast<int32_t>(request.slot) != slot_.load(std::memory_order_relaxed)) {
      slot_.store(static_cast<int32_t>(request.slot), std::memory_order_relaxed);
      RestartLocked();
    }
    intervalMs_.store(request.intervalMs, std::memory_order_relaxed);
    pitch_.store(request.pitch, std::memory_order_relaxed);
    loop_.store(request.loop, std::memory_order_relaxed);
    ++changeCount;
  }
  changed.notify_all();
}

void SignalState::SetConsumption(const Parameters& params, float value) {
  SetSignal(ClassifyConsumption(params, value));
}

void SignalState::ResetPhase() {
  {
    std::lock_guard guard(lock);
    RestartLocked();
    ++changeCount;
  }
  changed.notify_all();
}

void SignalState::Activate() {
  {
    std::lock_guard guard(lock);
    slot_.store(static_cast<int32_t>(SoundSlot::None), std::memory_order_relaxed);
    RestartLocked();
    ++changeCount;
  }
  changed.notify_all();
}

SignalSnapshot SignalState::Snapshot() const {
  std::lock_guard guard(lock);
  return SnapshotLocked();
}

}  // namespace drunvale
