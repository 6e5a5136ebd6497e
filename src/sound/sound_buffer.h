// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "sound/sound_samples.h"
#include "sound/sound_types.h"

namespace drunvale {

// One playable signal: the built-in tone (empty source) or a WAV file's samples. The pitch is
// not in the samples: the player renders it at the rate each request asks for.
class SoundBuffer {
 public:
  // The tone plays at 12 samples a period: 12000 samples/s is 1000 Hz.
  static constexpr int32_t kToneRateFactor = 12;
  static constexpr uint32_t kToneRate = 12000;

  SoundBuffer() = default;
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // Makes the samples from the source (empty: the tone); 0 on success, else a failure code
  // and the sound keeps what it had. A WAV must be 8- or 16-bit PCM, mono or stereo.
  SoundResult Load(const std::string& source);

  int32_t RefCount() const { return refCount_; }
  int32_t NativeRate() const;
  int32_t RateFactor() const;
  std::string Source() const;
  std::shared_ptr<const SoundSamples> Samples() const;

 private:
  friend class SlotTable;  // the only one that counts the slots holding a sound

  mutable std::mutex mutex_;
  int32_t refCount_ = 1;
  int32_t rateFactor_ = 1;
  int32_t nativeRate_ = 0;
  std::string source_;
  std::shared_ptr<const SoundSamples> samples_;
};

}  // namespace drunvale
