// The real engine through OpenAL Soft's file-writing back end: the rendered samples are read
// back and checked for the tone's frequency and the rhythm of the beeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "sound/sound_engine.h"

namespace drunvale {
namespace {

struct Rendered {
  uint32_t rate = 0;
  std::vector<float> left;
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The wave back end writes float32 stereo as WAVE_FORMAT_EXTENSIBLE.
bool ReadRendering(const std::string& path, Rendered& out) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4)) {
    return false;
  }
  uint16_t channels = 0, bits = 0, tag = 0;
  for (size_t pos = 12; pos + 8 <= b.size();) {
    const uint32_t size = Le32(b, pos + 4);
    const size_t body = pos + 8;
    if (!std::memcmp(&b[pos], "fmt ", 4) && body + 16 <= b.size()) {
      tag = static_cast<uint16_t>(b[body] | (b[body + 1] << 8));
      channels = static_cast<uint16_t>(b[body + 2] | (b[body + 3] << 8));
      out.rate = Le32(b, body + 4);
      bits = static_cast<uint16_t>(b[body + 14] | (b[body + 15] << 8));
    } else if (!std::memcmp(&b[pos], "data", 4)) {
      if (tag != 0xFFFE || bits != 32 || channels == 0) return false;
      // A size the writer never filled in means "to the end of the file".
      const size_t bytes = size == 0 || body + size > b.size() ? b.size() - body : size;
      const size_t frame = 4u * channels;
      for (size_t at = body; at + frame <= body + bytes; at += frame) {
        float sample;
        std::memcpy(&sample, &b[at], 4);
        out.left.push_back(sample);
      }
      return true;
    }
    pos = body + size + (size & 1u);
  }
  return false;
}

struct Beep {
  size_t start = 0;
  size_t end = 0;
};

// Stretches of sound separated by at least 10 ms of silence.
std::vector<Beep> FindBeeps(const std::vector<float>& x, uint32_t rate) {
  const size_t gap = rate / 100;
  std::vector<Beep> beeps;
  size_t quiet = gap;
  for (size_t i = 0; i < x.size(); ++i) {
    if (std::fabs(x[i]) > 0.05f) {
      if (quiet >= gap) beeps.push_back({i, i});
      beeps.back().end = i;
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  return beeps;
}

TEST(OpenAlRender, ToneFrequencyAndBeepRhythm) {
  const char* out = std::getenv("DRUNVALE_RENDER_WAV");
  const char* drivers = std::getenv("ALSOFT_DRIVERS");
  if (!out || !drivers || std::string(drivers) != "wave") {
    GTEST_SKIP() << "needs ALSOFT_DRIVERS=wave, ALSOFT_CONF and DRUNVALE_RENDER_WAV (set by CTest)";
  }
  std::remove(out);
  {
    SharedSettings settings;
    SoundEngine engine(settings);
    ASSERT_EQ(engine.Device().Create(), kSoundOk);
    uint32_t lo = 0, hi = 0;
    ASSERT_TRUE(engine.Device().GetRateRange(lo, hi));
    EXPECT_LE(lo, 240u);     // the lowest tone, 20 Hz
    EXPECT_GE(hi, 240000u);  // the highest, 20 kHz
    engine.ReloadSounds();
    engine.SetEnabled(true);
    engine.SetConsumption(5);  // 400 ms interval, 200 ms beeps, 495 Hz
    std::this_thread::sleep_for(std::chrono::milliseconds(1800));
    engine.SetEnabled(false);
  }  // closing the device completes the file

  Rendered r;
  ASSERT_TRUE(ReadRendering(out, r));
  ASSERT_EQ(r.rate, 44100u);
  std::vector<Beep> beeps = FindBeeps(r.left, r.rate);
  ASSERT_GE(beeps.size(), 4u);
  const double msPerSample = 1000.0 / r.rate;
  for (const Beep& b : beeps) {
    std::printf("beep at %.1f ms, %.1f ms long\n", b.start * msPerSample,
                (b.end - b.start) * msPerSample);
  }
  for (size_t i = 1; i + 1 < beeps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR((beeps[i].start - beeps[i - 1].start) * msPerSample, 400, 8);
    EXPECT_NEAR((beeps[i].end - beeps[i].start) * msPerSample, 200, 8);
  }

  // Rising zero crossings inside the second beep, away from its edges.
  const Beep& b = beeps[1];
  const size_t from = b.start + r.rate / 100;
  const size_t to = b.end - r.rate / 100;
  int rising = 0;
  size_t first = 0, last = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if (r.left[i - 1] < 0 && r.left[i] >= 0) {
      if (rising++ == 0) first = i;
      last = i;
    }
  }
  ASSERT_GT(rising, 10);
  const double hz = (rising - 1) * static_cast<double>(r.rate) / (last - first);
  EXPECT_NEAR(hz, 495, 495 * 0.02);
}

}  // namespace
}  // namespace drunvale
