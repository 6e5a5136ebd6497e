#include "sound/beep_player.h"

#include <algorithm>
#include <cmath>

namespace drunvale {

int32_t BeepLengthMs(int32_t intervalMs) {
  const double x = intervalMs;
  return static_cast<int32_t>(std::floor(2.5 * x / (static_cast<double>(0.0025f) * x + 4.0) + 0.5));
}

void ApplyStep(SlotTable& slots, const PlayerStep& step) {
  if (step.stop != SoundSlot::None) slots.Stop(step.stop);
  if (step.play) slots.Play(step.playSlot, step.pitch, step.loop);
}

PlayerStep BeepPlayer::Pass(SignalState& signal) {
  std::lock_guard guard(signal.lock);
  return PassLocked(signal, signal.clock().Now());
}

PlayerStep BeepPlayer::PassLocked(SignalState& signal, int64_t now) {
  PlayerStep step;
  const int64_t tpm = signal.ticksPerMs();
  if (now >= signal.dueTime) {
    const SignalRequest request = signal.RequestLocked();
    if (request.slot == SoundSlot::None) {
      // Silence: nothing falls due until a new request comes.
      signal.dueTime = kNever;
    } else if (request.intervalMs != 0) {
      const int64_t period = static_cast<int64_t>(request.intervalMs) * tpm;
      signal.dueTime = now + period - (now - signal.gridOrigin) % period;
      signal.gridOrigin = signal.dueTime;
    } else {
      signal.dueTime = now + tpm;
    }

    if (soundingSlot_ != request.slot) step.stop = soundingSlot_;
    soundingSlot_ = request.slot;
    if (request.slot != SoundSlot::None) {
      step.play = true;
      step.playSlot = request.slot;
      step.pitch = request.pitch;
      step.loop = request.loop;
    }
    if (request.intervalMs != 0) {
      const int32_t length = BeepLengthMs(request.intervalMs);
      stopInstant_ = signal.dueTime - static_cast<int64_t>(request.intervalMs - length) * tpm;
      state_ = State::Sounding;
    } else {
      state_ = State::Idle;
    }
    started_ = request;
    startedAny_ = true;
  } else if (state_ == State::Sounding && now >= stopInstant_) {
    step.stop = soundingSlot_;
    state_ = State::Idle;
  }

  // A looped continuous sound goes on by itself; anything else (beeps, or a one-shot WAV that
  // must be started again when it ends) needs the pass at its due time.
  const SignalRequest current = signal.RequestLocked();
  const bool selfSustaining =
      startedAny_ && current == started_ && current.intervalMs == 0 && current.loop;
  step.wakeAt = selfSustaining ? kNever : signal.dueTime;
  if (state_ == State::Sounding) step.wakeAt = std::min(step.wakeAt, stopInstant_);
  return step;
}

}  // namespace drunvale
