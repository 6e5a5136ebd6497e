// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/voice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drunvale {
namespace {

// rateFactor x pitch truncated towards zero, kept inside what a rate can be: a pitch out of
// range (or not a number) must not turn into undefined behaviour on the way to an integer.
int64_t RateFor(int32_t rateFactor, float pitch) {
  const double rate = static_cast<double>(rateFactor) * static_cast<double>(pitch);
  if (!(rate >= 0.0)) return 0;
  return static_cast<int64_t>(
      std::min(rate, static_cast<double>(std::numeric_limits<int32_t>::max())));
}

constexpr long kPullFrames = 4096;

}  // namespace

float Voice::Triangle(double phase) {
  // The 8-bit period 128, 170, 212, 254, ..., 2, 44, 86: steps of 42 around 128, read as a line.
  const double u = 12.0 * (phase >= 0 && phase < 1 ? phase : phase - std::floor(phase));
  double s;
  if (u <= 3) {
    s = 128 + 42 * u;
  } else if (u <= 9) {
    s = 254 - 42 * (u - 3);
  } else {
    s = 2 + 42 * (u - 9);
  }
  return static_cast<float>((s - 128) / 128);
}

void Voice::Load(std::shared_ptr<const SoundSamples> sound) {
  sound_ = std::move(sound);
  resampler_.reset();
  askedRate_.reset();
  rate_ = 0;
  if (sound_ && sound_->tone) {
    rate_ = 1000 * kToneRateFactor;  // 1000 Hz until a pitch is set
  } else if (sound_) {
    rate_ = sound_->rate;
    resampler_ = MakeResampler(sound_->channels, *this);
    if (resampler_) resampler_->SetRatio(static_cast<double>(outputRate_) / rate_);
  }
  Stop();
}

bool Voice::Playable(int64_t rate) const {
  if (rate <= 0) return false;
  if (sound_->tone) return true;
  // The resampler converts up to a ratio of 256 either way.
  return rate * Resampler::kMaxRatio >= outputRate_ && rate <= outputRate_ * Resampler::kMaxRatio;
}

void Voice::ApplyRate(int64_t rate) {
  rate_ = rate;
  if (resampler_)
    resampler_->SetRatio(static_cast<double>(outputRate_) / static_cast<double>(rate));
}

void Voice::Play(float pitch, bool loop) {
  if (!sound_) return;
  const int64_t rate = RateFor(sound_->tone ? kToneRateFactor : 1, pitch);
  if (rate != askedRate_) {
    askedRate_ = rate;
    if (Playable(rate)) ApplyRate(rate);
  }
  if (playing_ && loop_ == loop) return;
  loop_ = loop;
  playing_ = true;
}

void Voice::Stop() {
  playing_ = false;
  phase_ = 0;
  readFrame_ = 0;
  if (resampler_) resampler_->Reset();
}

void Voice::Render(float* out, size_t frames, float gain) {
  if (!playing_ || !sound_ || frames == 0) return;
  if (sound_->tone) {
    RenderTone(out, frames, gain);
  } else {
    RenderWave(out, frames, gain);
  }
}

void Voice::RenderTone(float* out, size_t frames, float gain) {
  const double step = static_cast<double>(rate_) / kToneRateFactor / outputRate_;
  for (size_t i = 0; i < frames; ++i) {
    const float v = gain * Triangle(phase_);
    out[2 * i] += v;
    out[2 * i + 1] += v;
    phase_ += step;
    if (phase_ >= 1) phase_ = phase_ < 2 ? phase_ - 1 : phase_ - std::floor(phase_);
  }
}

void Voice::RenderWave(float* out, size_t frames, float gain) {
  if (!resampler_) return;
  const size_t channels = sound_->channels;
  scratch_.resize(frames * channels);
  const size_t got = resampler_->Read(scratch_.data(), frames);
  for (size_t i = 0; i < got; ++i) {
    const float left = scratch_[i * channels];
    const float right = channels > 1 ? scratch_[i * channels + 1] : left;
    out[2 * i] += gain * left;
    out[2 * i + 1] += gain * right;
  }
  if (got < frames) Stop();  // a sound played once came to its end
}

long Voice::Pull(const float*& frames) {
  const size_t count = sound_->FrameCount();
  if (readFrame_ >= count) {
    if (!loop_ || count == 0) return 0;
    readFrame_ = 0;
  }
  const size_t n = std::min<size_t>(count - readFrame_, kPullFrames);
  frames = sound_->frames.data() + readFrame_ * sound_->channels;
  readFrame_ += n;
  return static_cast<long>(n);
}

}  // namespace drunvale
