// SPDX-License-Identifier: GPL-3.0-or-later
// The real engine through OpenAL Soft's file-writing back end: the rendered samples are read
// back and checked for the tone's frequency and the rhythm of the beeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "sound/rendered_wave.h"
#include "sound/sound_engine.h"

namespace drunvale {
namespace {

using testing::Beep;

TEST(OpenAlRender, BeepsOnTheGridToTheSampleAtTheirPitch) {
  const char* out = std::getenv("DRUNVALE_RENDER_WAV");
  const char* drivers = std::getenv("ALSOFT_DRIVERS");
  if (!out || !drivers || std::string(drivers) != "wave") {
    GTEST_SKIP() << "needs ALSOFT_DRIVERS=wave, ALSOFT_CONF and DRUNVALE_RENDER_WAV (set by CTest)";
  }
  std::remove(out);
  {
    SharedSettings settings;
    SoundEngine engine(settings);
    ASSERT_EQ(engine.Device().Create(), SoundStatus::Ok);
    uint32_t lo = 0, hi = 0;
    ASSERT_TRUE(engine.Device().GetRateRange(lo, hi));
    EXPECT_LE(lo, 8000u);
    EXPECT_GE(hi, 327670u);  // the highest rate the settings dialog offers
    engine.ReloadSounds();
    engine.SetEnabled(true);
    engine.SetConsumption(5);  // 400 ms interval, 200 ms beeps, 495 Hz
    std::this_thread::sleep_for(std::chrono::milliseconds(1800));
    engine.SetEnabled(false);
  }  // closing the device completes the file

  testing::Rendered r;
  ASSERT_TRUE(testing::ReadRendering(out, r));
  ASSERT_GT(r.rate, 0u);
  const std::vector<Beep> beeps = testing::FindBeeps(r.left, r.rate);
  ASSERT_GE(beeps.size(), 4u);
  // The beeps are made on the grid of samples: 400 ms and 200 ms to within the few samples a
  // triangle takes to cross the threshold, whatever the device's mixing periods.
  const double frame = 1000.0 / r.rate;
  for (size_t i = 1; i + 1 < beeps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR((beeps[i].start - beeps[i - 1].start) * frame, 400, 1.5 * frame);
    EXPECT_NEAR((beeps[i].end + 1 - beeps[i].start) * frame, 200, 4 * frame);
  }
  const Beep& b = beeps[1];
  const double hz =
      testing::ZeroCrossingHz(r.left, b.start + r.rate / 100, b.end - r.rate / 100, r.rate);
  EXPECT_NEAR(hz, 495, 495 * 0.002);
}

}  // namespace
}  // namespace drunvale
