// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "sound/resampler.h"
#include "sound/sound_samples.h"

namespace drunvale {

// One sound played at an adjustable rate into the output stream: the tone computed at its
// pitch, or a WAV converted to the output rate. Played, it goes on from where it is; stopped,
// it goes back to its start.
class Voice final : private ResamplerInput {
 public:
  // The tone is a triangle of 12 samples a period: its rate is 12 times its frequency.
  static constexpr int32_t kToneRateFactor = 12;

  explicit Voice(uint32_t outputRate) : outputRate_(outputRate) {}

  // Takes a sound (null: none), stopped at its start and at its own rate.
  void Load(std::shared_ptr<const SoundSamples> sound);
  const SoundSamples* sound() const { return sound_.get(); }
  // pitch: the tone's frequency, or the WAV's playback rate. A new rate is set when it can be
  // played (else the last one stays); the sound starts unless it already plays in this mode.
  void Play(float pitch, bool loop);
  void Stop();
  bool playing() const { return playing_; }
  // The playback rate in samples per second.
  int64_t rate() const { return rate_; }

  // Adds `frames` stereo frames of the sound, times gain, into out. A sound played once stops
  // (and rewinds) at its end.
  void Render(float* out, size_t frames, float gain);

  // The tone's waveform, -1..1, at a point of its period (0..1).
  static float Triangle(double phase);

 private:
  long Pull(const float*& frames) override;
  bool Playable(int64_t rate) const;
  void ApplyRate(int64_t rate);
  void RenderTone(float* out, size_t frames, float gain);
  void RenderWave(float* out, size_t frames, float gain);

  const uint32_t outputRate_;
  std::shared_ptr<const SoundSamples> sound_;
  bool playing_ = false;
  bool loop_ = false;
  std::optional<int64_t> askedRate_;
  int64_t rate_ = 0;
  double phase_ = 0;      // tone: periods
  size_t readFrame_ = 0;  // WAV: the next frame handed to the resampler
  std::unique_ptr<Resampler> resampler_;
  std::vector<float> scratch_;
};

}  // namespace drunvale
