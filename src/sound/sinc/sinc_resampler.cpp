// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sinc/sinc_resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace drunvale {
namespace {

// Zero crossings of the sinc on each side, and table points between two of them: about 70 dB
// of stop band with the Kaiser window below, interpolated linearly between points.
constexpr int kZeroCrossings = 8;
constexpr int kPointsPerCrossing = 256;
constexpr double kKaiserBeta = 7.0;
// Playing a sound many times faster than the output widens the filter with the ratio; beyond
// this many input frames on each side it keeps its width and lets more alias through, so the
// player's cost stays bounded even for absurd pitches.
constexpr double kMaxHalfWidth = 64;

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 40; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
    if (term < sum * 1e-12) break;
  }
  return sum;
}

// The windowed sinc from 0 to kZeroCrossings, one point past the end for the interpolation.
const std::vector<float>& Kernel() {
  static const std::vector<float> table = [] {
    std::vector<float> t(kZeroCrossings * kPointsPerCrossing + 2, 0.0f);
    const double norm = BesselI0(kKaiserBeta);
    for (int i = 0; i <= kZeroCrossings * kPointsPerCrossing; ++i) {
      const double x = static_cast<double>(i) / kPointsPerCrossing;
      const double r = x / kZeroCrossings;
      const double window = BesselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1 - r * r))) / norm;
      const double sinc = i == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
      t[static_cast<size_t>(i)] = static_cast<float>(sinc * window);
    }
    return t;
  }();
  return table;
}

float KernelAt(double x) {
  const double at = std::abs(x) * kPointsPerCrossing;
  const auto i = static_cast<size_t>(at);
  const std::vector<float>& table = Kernel();
  if (i + 1 >= table.size()) return 0;
  const auto frac = static_cast<float>(at - static_cast<double>(i));
  return table[i] + frac * (table[i + 1] - table[i]);
}

class SincResampler final : public Resampler {
 public:
  SincResampler(int channels, ResamplerInput& input)
      : channels_(static_cast<size_t>(channels)), input_(input) {
    SetRatio(1);
  }

  void Reset() override {
    history_.clear();
    base_ = 0;
    ended_ = false;
    position_ = 0;
  }

  void SetRatio(double ratio) override {
    ratio = std::clamp(ratio, 1 / kMaxRatio, kMaxRatio);
    step_ = 1 / ratio;
    // Down to the output's band when it is the narrower one; the input's otherwise.
    cutoff_ = std::min(1.0, ratio);
    halfWidth_ = std::min(kZeroCrossings / cutoff_, kMaxHalfWidth);
  }

  size_t Read(float* out, size_t frames) override {
    size_t done = 0;
    for (; done < frames; ++done) {
      const auto last = static_cast<int64_t>(std::ceil(position_ + halfWidth_));
      if (!Have(last) && position_ >= static_cast<double>(End())) break;
      Convolve(out + done * channels_);
      position_ += step_;
      // Kept for the widest filter a later ratio may ask for.
      Forget(static_cast<int64_t>(std::floor(position_ - kMaxHalfWidth)) - 1);
    }
    return done;
  }

 private:
  int64_t End() const { return base_ + static_cast<int64_t>(history_.size() / channels_); }

  // Pulls input until frame `last` is held; false when the input ends before it.
  bool Have(int64_t last) {
    while (!ended_ && End() <= last) {
      const float* frames = nullptr;
      const long count = input_.Pull(frames);
      if (count <= 0) {
        ended_ = true;
        break;
      }
      history_.insert(history_.end(), frames, frames + count * static_cast<long>(channels_));
    }
    return End() > last;
  }

  // Frames before the first input frame and after the last are silence.
  void Convolve(float* frame) const {
    std::array<float, 2> sum{};
    const auto first = std::max(static_cast<int64_t>(std::ceil(position_ - halfWidth_)), base_);
    const auto last = std::min(static_cast<int64_t>(std::floor(position_ + halfWidth_)), End() - 1);
    for (int64_t j = first; j <= last; ++j) {
      const float w = KernelAt((static_cast<double>(j) - position_) * cutoff_);
      const float* x = &history_[static_cast<size_t>(j - base_) * channels_];
      for (size_t c = 0; c < channels_; ++c)
        sum[c] += w * x[c];
    }
    for (size_t c = 0; c < channels_; ++c)
      frame[c] = static_cast<float>(cutoff_) * sum[c];
  }

  // Drops frames before `frame` once there are enough of them to be worth moving the rest.
  void Forget(int64_t frame) {
    const int64_t drop = frame - base_;
    if (drop < 4096) return;
    history_.erase(history_.begin(), history_.begin() + static_cast<long>(drop * channels_));
    base_ = frame;
  }

  const size_t channels_;
  ResamplerInput& input_;
  std::vector<float> history_;  // interleaved input frames from frame base_ on
  int64_t base_ = 0;
  bool ended_ = false;
  double position_ = 0;  // the input frame the next output frame is centred on
  double step_ = 1;
  double cutoff_ = 1;
  double halfWidth_ = kZeroCrossings;
};

}  // namespace

std::unique_ptr<Resampler> MakeSincResampler(int channels, ResamplerInput& input) {
  if (channels < 1 || channels > 2) return nullptr;
  return std::make_unique<SincResampler>(channels, input);
}

}  // namespace drunvale
