// SPDX-License-Identifier: GPL-3.0-or-later
// The converter Windows builds use for WAV sounds, checked on a pure tone.
#include "sound/sinc/sinc_resampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace drunvale {
namespace {

// The whole input in one pull, then its end.
struct Once : ResamplerInput {
  std::vector<float> frames;
  bool given = false;
  long Pull(const float*& out) override {
    if (given) return 0;
    given = true;
    out = frames.data();
    return static_cast<long>(frames.size() / channels);
  }
  size_t channels = 1;
};

// `frames` frames of a sine of `hz` at `rate`; the right channel silent when stereo.
Once Sine(double hz, double rate, size_t frames, size_t channels) {
  Once input;
  input.channels = channels;
  for (size_t i = 0; i < frames; ++i) {
    input.frames.push_back(static_cast<float>(std::sin(2 * std::numbers::pi * hz * i / rate)));
    if (channels == 2) input.frames.push_back(0.0f);
  }
  return input;
}

std::vector<float> ReadAll(Resampler& resampler, size_t channels) {
  std::vector<float> out, chunk(512 * channels);
  while (size_t got = resampler.Read(chunk.data(), 512))
    out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<long>(got * channels));
  return out;
}

TEST(SincResampler, ToneKeptInTuneChannelsApartAndAliasesFilteredOut) {
  // Unchanged at ratio 1.
  Once same = Sine(1000, 8000, 400, 1);
  auto passthrough = MakeSincResampler(1, same);
  const std::vector<float> copy = ReadAll(*passthrough, 1);
  ASSERT_EQ(copy.size(), 400u);
  for (size_t i = 0; i < copy.size(); ++i)
    ASSERT_NEAR(copy[i], same.frames[i], 1e-5) << i;

  // Twice the rate: the same tone on twice the frames, in stereo with the right channel silent.
  Once stereo = Sine(1000, 8000, 4000, 2);
  auto up = MakeSincResampler(2, stereo);
  up->SetRatio(2);
  const std::vector<float> doubled = ReadAll(*up, 2);
  ASSERT_NEAR(static_cast<double>(doubled.size() / 2), 8000, 2);
  for (size_t i = 100; i < 7900; ++i) {
    ASSERT_NEAR(doubled[2 * i], std::sin(2 * std::numbers::pi * 1000 * i / 16000.0), 2e-3) << i;
    ASSERT_EQ(doubled[2 * i + 1], 0.0f) << i;
  }

  // Half the rate: a 3 kHz tone lies above the new 2 kHz limit and must not fold back to 1 kHz.
  Once high = Sine(3000, 8000, 8000, 1);
  auto down = MakeSincResampler(1, high);
  down->SetRatio(0.5);
  const std::vector<float> halved = ReadAll(*down, 1);
  double energy = 0;
  for (size_t i = 200; i < 3800; ++i)
    energy += halved[i] * halved[i];
  EXPECT_LT(std::sqrt(energy / 3600), 0.01);
}

}  // namespace
}  // namespace drunvale
