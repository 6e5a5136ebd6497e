// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>

namespace drunvale {

// Where a resampler pulls its input from.
class ResamplerInput {
 public:
  virtual ~ResamplerInput() = default;
  // Points `frames` at the next interleaved input frames and returns how many; 0 at the end.
  virtual long Pull(const float*& frames) = 0;
};

// Converts a stream of interleaved frames to another rate, pulling input as it goes.
class Resampler {
 public:
  // Output frames per input frame, either way.
  static constexpr double kMaxRatio = 256;

  virtual ~Resampler() = default;
  // Forgets all input: the next read starts on fresh input.
  virtual void Reset() = 0;
  // Output frames per input frame from the next frame on (a step, not a glide).
  virtual void SetRatio(double ratio) = 0;
  // Writes up to `frames` output frames; fewer only once the input has ended.
  virtual size_t Read(float* out, size_t frames) = 0;
};

// The platform's resampler for the given number of channels: libsamplerate on Linux, the sinc
// converter of our own on Windows (sinc/). Null when it cannot be made; the WAV stays silent.
std::unique_ptr<Resampler> MakeResampler(int channels, ResamplerInput& input);

}  // namespace drunvale
