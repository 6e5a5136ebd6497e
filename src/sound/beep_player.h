#pragma once

#include <cstdint>

#include "sound/signal_request.h"
#include "sound/slot_table.h"
#include "sound/sound_types.h"

namespace drunvale {

// What one pass of the player asks for, in this order: stop a slot, play a slot; then sleep
// until wakeAt (kNever: until a new request) unless woken earlier.
struct PlayerStep {
  SoundSlot stop = SoundSlot::None;
  bool play = false;
  SoundSlot playSlot = SoundSlot::None;
  float pitch = 0;
  bool loop = false;
  int64_t wakeAt = kNever;
};

// Beep length in ms for an interval x in ms: 1000 x / (x + 1600) rounded half up, computed the
// way the original did (the 0.0025 as a float).
int32_t BeepLengthMs(int32_t intervalMs);

// The player thread's logic without the thread: each pass looks at the clock reading `now`,
// starts the requested slot's sound when it falls due (and moves the due time to the next grid
// point), stops a beep at its stop instant, and says when the next pass is needed.
// Carries out a step on the slots, the old slot's stop before the new slot's play. The caller
// holds no engine lock: each slot operation takes that slot's lock alone.
void ApplyStep(SlotTable& slots, const PlayerStep& step);

class BeepPlayer {
 public:
  // The caller holds signal.lock and read `now` under it.
  PlayerStep PassLocked(SignalState& signal, int64_t now);
  // Takes the lock and reads the clock itself.
  PlayerStep Pass(SignalState& signal);

  SoundSlot soundingSlot() const { return soundingSlot_; }
  bool sounding() const { return state_ == State::Sounding; }
  int64_t stopInstant() const { return stopInstant_; }

 private:
  enum class State { Idle, Sounding };

  State state_ = State::Idle;
  int64_t stopInstant_ = 0;
  SoundSlot soundingSlot_ = SoundSlot::Zero;
  // The request the last start played, to tell a looped continuous sound that needs no
  // re-checks from one that does.
  SignalRequest started_;
  bool startedAny_ = false;
};

}  // namespace drunvale
