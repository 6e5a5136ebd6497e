// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <span>

#include "sound/signal_request.h"
#include "sound/sound_samples.h"
#include "sound/voice.h"

namespace drunvale {

// Beep length in ms for an interval x in ms: 1000 x / (x + 1600) rounded half up, computed the
// way the original did (the 0.0025 as a float).
int32_t BeepLengthMs(int32_t intervalMs);

// Attenuation in hundredths of a decibel for a volume 0..100 (clamped):
// 100 * floor(120 v / (v + 20)) - 10000, computed as the original did.
int32_t AttenuationForVolume(int32_t volume);

// The signal as a pure function of the request history and the sample position: each change
// takes effect at the frame the renderer has reached, and the beeps fall on a grid of frames.
// Instants are kept in thousandths of a frame, so that a grid of whole milliseconds is exact
// at any rate and never drifts. The rules are those of the beep player it replaces: a new slot
// or a phase reset starts a grid at once; a new interval puts the next beep one new interval
// after the start of the last (at once if that has passed); a beep lasts BeepLengthMs of its
// interval; a pitch or loop change is heard from the next beep, or at once by a continuous
// sound; a beep that falls due while the last still sounds goes on without a restart.
class SignalRenderer {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
  static constexpr int64_t kSubFrames = 1000;

  explicit SignalRenderer(uint32_t rate) : rate_(rate), voice_(rate) {}

  // Changes, each at position():
  // A request; newGrid when the request side started a new grid (a new slot, a phase reset,
  // switching on) since the last one applied.
  void Apply(const SignalRequest& request, bool newGrid);
  // The slots' sounds; a sounding slot whose sound was replaced goes on with the new one.
  void SetSounds(const SlotSounds& sounds);
  void SetVolume(int32_t volume);

  // Writes the next frames, stereo interleaved (two floats a frame).
  void Render(std::span<float> stereo);

  uint32_t rate() const { return rate_; }
  int64_t position() const { return position_; }
  bool sounding() const { return voice_.playing(); }

 private:
  static int64_t FrameOf(int64_t instant) {
    return instant == kNever ? kNever : (instant + kSubFrames - 1) / kSubFrames;
  }
  int64_t Ms(int64_t ms) const { return ms * rate_; }  // in thousandths of a frame
  // Carries out what falls due at position_; false when nothing did.
  bool RunEvents();
  void StartDue();
  void StartVoice(SoundSlot slot, const SignalRequest& request);

  const uint32_t rate_;
  int64_t position_ = 0;
  SignalRequest request_;
  SlotSounds sounds_{};
  float gain_ = 1;
  int64_t dueAt_ = kNever;  // the next start, on the grid
  int64_t gridOrigin_ = 0;
  bool beeping_ = false;  // a beep sounds until stopAt_
  int64_t stopAt_ = 0;
  SoundSlot voiceSlot_ = SoundSlot::None;
  Voice voice_;
};

}  // namespace drunvale
