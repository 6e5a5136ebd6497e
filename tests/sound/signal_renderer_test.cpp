// SPDX-License-Identifier: GPL-3.0-or-later
// The signal as frames: requests applied at positions, the output read back sample by sample.
#include "sound/signal_renderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "sound/resampler.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;

struct Span {
  int64_t start = 0;
  int64_t end = 0;  // one past the last frame
  bool operator==(const Span&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Span& r) {
  return os << "[" << r.start << ", " << r.end << ")";
}

// Stretches of sound in the left channel, at least 2 ms of zeros apart. A tone starts at the
// start of its period, a zero, so a stretch begins one frame before its first non-zero sample.
std::vector<Span> Runs(const std::vector<float>& stereo, uint32_t rate) {
  std::vector<Span> runs;
  const int64_t gap = rate / 500;
  int64_t quiet = gap;
  for (int64_t i = 0; 2 * i < static_cast<int64_t>(stereo.size()); ++i) {
    if (stereo[2 * i] != 0.0f) {
      if (quiet >= gap) runs.push_back({std::max<int64_t>(0, i - 1), i + 1});
      runs.back().end = i + 1;
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  return runs;
}

std::shared_ptr<const SoundSamples> Tone() {
  return std::make_shared<SoundSamples>();
}

// A mono WAV at `rate`: a ramp from -0.5 to 0.5 over `frames`.
std::shared_ptr<const SoundSamples> Ramp(uint32_t rate, size_t frames) {
  auto wave = std::make_shared<SoundSamples>();
  wave->tone = false;
  wave->rate = rate;
  for (size_t i = 0; i < frames; ++i)
    wave->frames.push_back(-0.5f + static_cast<float>(i) / frames);
  return wave;
}

bool HaveResampler() {
  struct Empty : ResamplerInput {
    long Pull(const float*&) override { return 0; }
  } empty;
  return MakeResampler(1, empty) != nullptr;
}

class RendererTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kRate = 8000;  // 8 frames a millisecond
  Parameters params = Settings().Params;
  SignalRenderer renderer{kRate};
  std::vector<float> out;

  void SetUp() override { renderer.SetSounds({Tone(), Tone(), Tone()}); }
  void Consume(float value, bool newGrid = false) {
    renderer.Apply(ClassifyConsumption(params, value), newGrid);
  }
  // Renders up to the frame `until`, in chunks of `chunk` frames.
  void RenderTo(int64_t until, int64_t chunk = 1000) {
    while (renderer.position() < until) {
      std::vector<float> part(2 * std::min(chunk, until - renderer.position()));
      renderer.Render(part);
      out.insert(out.end(), part.begin(), part.end());
    }
  }
  float Left(int64_t frame) const { return out[2 * frame]; }
};

TEST(BeepLength, FollowsTheTableAndTheClosedForm) {
  const std::pair<int32_t, int32_t> table[] = {{100, 59},   {200, 111},  {400, 200},   {1000, 385},
                                               {2000, 556}, {5000, 758}, {10000, 862}, {1, 1}};
  for (const auto& [interval, length] : table)
    EXPECT_EQ(BeepLengthMs(interval), length);
  // 1000 x / (x + 1600) rounded half up, in integers, over the whole settings range.
  for (int64_t x = 0; x <= 10000; ++x) {
    ASSERT_EQ(BeepLengthMs(static_cast<int32_t>(x)), (2000 * x + x + 1600) / (2 * (x + 1600))) << x;
  }
}

TEST(Volume, AttenuationInHundredthsOfADecibel) {
  const std::pair<int32_t, int32_t> table[] = {{0, -10000}, {1, -9500},   {5, -7600},  {10, -6000},
                                               {20, -4000}, {30, -2800},  {40, -2000}, {50, -1500},
                                               {60, -1000}, {70, -700},   {80, -400},  {90, -200},
                                               {100, 0},    {-5, -10000}, {150, 0}};
  for (const auto& [volume, attenuation] : table)
    EXPECT_EQ(AttenuationForVolume(volume), attenuation) << volume;
  for (int v = 0; v <= 100; ++v)
    ASSERT_EQ(AttenuationForVolume(v), 100 * (120 * v / (v + 20)) - 10000) << v;
}

TEST_F(RendererTest, BeepsFallOnTheGridAsTheExactTriangle) {
  Consume(5, true);  // 400 ms, 200 ms beeps, 495 Hz
  RenderTo(10'000);
  EXPECT_THAT(Runs(out, kRate),
              ElementsAre(Span{0, 1600}, Span{3200, 4800}, Span{6400, 8000}, Span{9600, 10'000}));
  for (int64_t n = 0; n < 1600; ++n)
    ASSERT_NEAR(Left(n), Voice::Triangle(n * 495.0 / kRate), 1e-6) << n;
  EXPECT_EQ(out[2 * 123], out[2 * 123 + 1]);  // the same on both channels

  // 133 ms at 44.1 kHz is 5865.3 frames: each beep starts at the first frame of its instant,
  // and the grid never drifts.
  SignalRenderer fine(44100);
  fine.SetSounds({Tone(), Tone(), Tone()});
  fine.Apply(ClassifyConsumption(params, 15), true);
  std::vector<float> stereo(2 * 44100 * 3);
  fine.Render(stereo);
  const std::vector<Span> runs = Runs(stereo, 44100);
  ASSERT_EQ(runs.size(), 23u);
  for (size_t k = 0; k < runs.size(); ++k) {
    EXPECT_EQ(runs[k].start, (static_cast<int64_t>(k) * 133 * 44100 + 999) / 1000) << k;
  }
}

TEST_F(RendererTest, NewIntervalCountsFromTheLastBeepAndAPassedOneComesAtOnce) {
  Consume(2, true);  // 1000 ms, 385 ms beeps
  RenderTo(300 * 8);
  Consume(5);  // 400 ms: one new interval after the last beep's start
  RenderTo(700 * 8);
  Consume(10);  // 200 ms: due at 600 ms, passed, so at once; the grid goes on from 600
  RenderTo(1000 * 8);
  EXPECT_THAT(Runs(out, kRate), ElementsAre(Span{0, 385 * 8}, Span{400 * 8, 600 * 8},
                                            Span{700 * 8, 711 * 8}, Span{800 * 8, 911 * 8}));
}

TEST_F(RendererTest, SlotChangeEndsTheOldSoundWhereTheNewBegins) {
  Consume(0, true);  // Zero: continuous 370 Hz
  RenderTo(802);
  Consume(25, true);  // Over: continuous 740 Hz, from frame 802 on
  RenderTo(1600);
  for (int64_t n = 0; n < 802; ++n)
    ASSERT_NEAR(Left(n), Voice::Triangle(n * 370.0 / kRate), 1e-6) << n;
  for (int64_t n = 802; n < 1600; ++n)
    ASSERT_NEAR(Left(n), Voice::Triangle((n - 802) * 740.0 / kRate), 1e-6) << n;
  renderer.Apply(SignalRequest{}, true);  // silence, at once
  RenderTo(2000);
  EXPECT_THAT(Runs(out, kRate), ElementsAre(Span{0, 1600}));
}

TEST_F(RendererTest, PitchIsHeardAtOnceWhenContinuousAndFromTheNextBeepOtherwise) {
  params.LevelZero.ToneHz = 400;
  Consume(0, true);
  RenderTo(400);
  params.LevelZero.ToneHz = 500;
  Consume(0);
  RenderTo(800);
  EXPECT_NEAR(Left(401), Voice::Triangle(400 * 400.0 / kRate + 500.0 / kRate), 1e-6);

  SignalRenderer beeps(kRate);
  beeps.SetSounds({Tone(), Tone(), Tone()});
  params.LevelMin.IntervalMs = params.LevelMax.IntervalMs = 100;  // 59 ms beeps
  beeps.Apply(ClassifyConsumption(params, 5), true);
  std::vector<float> a(2 * 400);
  beeps.Render(a);
  beeps.Apply(ClassifyConsumption(params, 15), false);  // same rhythm, another pitch
  std::vector<float> b(2 * 800);
  beeps.Render(b);
  const double hzA = ClassifyConsumption(params, 5).pitch;
  const double hzB = ClassifyConsumption(params, 15).pitch;
  EXPECT_NEAR(b[2 * 10], Voice::Triangle(410 * hzA / kRate), 1e-6);           // this beep: the old
  EXPECT_NEAR(b[2 * 410], Voice::Triangle((810 - 800) * hzB / kRate), 1e-6);  // the next: new
}

TEST_F(RendererTest, VolumeScalesTheSignalAndZeroIsSilent) {
  renderer.SetVolume(50);  // -15 dB
  Consume(0, true);
  RenderTo(100);
  EXPECT_NEAR(Left(5), Voice::Triangle(5 * 370.0 / kRate) * std::pow(10.0, -0.75), 1e-6);
  renderer.SetVolume(0);
  RenderTo(200);
  for (int64_t n = 100; n < 200; ++n)
    ASSERT_EQ(Left(n), 0.0f);
}

TEST_F(RendererTest, OneMillisecondIntervalIsNeverSilent) {
  params.LevelMin.IntervalMs = params.LevelMax.IntervalMs = 1;
  Consume(5, true);
  RenderTo(4000);
  EXPECT_THAT(Runs(out, kRate), ElementsAre(Span{0, 4000}));
}

TEST_F(RendererTest, ContinuousLevelLoopsAOneShotWavAndABeepPlaysItOnce) {
  if (!HaveResampler()) GTEST_SKIP() << "no resampler in this build";

  const auto ramp = Ramp(kRate, 800);  // 100 ms at the output's own rate
  renderer.SetSounds({ramp, ramp, ramp});
  params.LevelZero = {0, 370, false, kRate, false};  // continuous, played once
  Consume(0, true);
  RenderTo(4000);
  // The sound starts again as it ends: period 800 frames, the ramp's own samples.
  for (int64_t n = 200; n < 3000; n += 37) {
    ASSERT_NEAR(Left(n), Left(n + 800), 1e-3) << n;
    // Away from the jump at the loop's seam, where the band-limited signal rings.
    if (n % 800 > 40 && n % 800 < 760) {
      ASSERT_NEAR(Left(n), -0.5 + (n % 800) / 800.0, 0.02) << n;
    }
  }

  // A beep longer than the sound: it plays once, then silence until the next beep.
  params.LevelZero = {1000, 370, false, kRate, false};
  SignalRenderer beeps(kRate);
  beeps.SetSounds({ramp, ramp, ramp});
  beeps.Apply(ClassifyConsumption(params, 0), true);
  std::vector<float> stereo(2 * 8000 * 2);
  beeps.Render(stereo);
  const std::vector<Span> runs = Runs(stereo, kRate);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NEAR(static_cast<double>(runs[0].end - runs[0].start), 800, 40);
  EXPECT_NEAR(static_cast<double>(runs[1].start), 8000, 1);
}

TEST_F(RendererTest, ReplacedSoundKeepsAContinuousLevelSounding) {
  Consume(25, true);  // Over, continuous
  RenderTo(400);
  auto other = Tone();
  renderer.SetSounds({Tone(), Tone(), other});
  RenderTo(800);
  EXPECT_THAT(Runs(out, kRate), ElementsAre(Span{0, 800}));
  EXPECT_NEAR(Left(401), Voice::Triangle(740.0 / kRate), 1e-6);  // the new sound from its start
}

TEST(Renderer, TheSignalDoesNotDependOnHowItIsCutIntoChunks) {
  const Parameters params = Settings().Params;
  auto render = [&](int64_t chunk) {
    SignalRenderer r(44100);
    r.SetSounds({Tone(), Ramp(22050, 3000), Tone()});
    std::vector<float> all;
    const float values[] = {5, 7, 0.3f, 0, 12, 25, 3};
    for (float v : values) {
      Parameters p = params;
      p.LevelMin.UseTone = false;  // the band plays the WAV
      p.LevelMin.SampleRate = 22050;
      p.LevelMax.SampleRate = 30000;
      r.Apply(ClassifyConsumption(p, v), v == 0);
      for (int64_t left = 9000; left > 0; left -= chunk) {
        std::vector<float> part(2 * std::min(chunk, left));
        r.Render(part);
        all.insert(all.end(), part.begin(), part.end());
      }
    }
    return all;
  };
  const std::vector<float> whole = render(9000);
  EXPECT_EQ(render(37), whole);
  EXPECT_EQ(render(1024), whole);
}

}  // namespace
}  // namespace drunvale
