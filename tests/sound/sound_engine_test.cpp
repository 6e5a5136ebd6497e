// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_engine.h"

#include <gtest/gtest.h>

#include "platform/testing/manual_clock.h"
#include "sound/testing/recording_audio.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::TempFile;

TEST(SoundEngine, ReloadSoundsTakesToneOrWavPerLevel) {
  Settings s;
  TempFile wav("reload.wav", testing::SimpleWav(1, 16000, 16, 64));
  s.Params.LevelMin.UseTone = false;
  s.WavMin = wav.path();
  s.WavZero = "/not/used/because/tone.wav";
  SharedSettings settings(s);
  ManualHighResClock clock;
  RecordingAudio audio;
  SoundEngine engine(settings, clock, audio);
  engine.ReloadSounds();  // no device yet: nothing
  EXPECT_EQ(engine.Device().SlotSound(SoundSlot::Zero), nullptr);

  ASSERT_EQ(engine.Device().Create(), SoundStatus::Ok);
  engine.ReloadSounds();
  EXPECT_EQ(engine.Device().SlotSound(SoundSlot::Zero)->RefCount(), 2);
  EXPECT_EQ(engine.Device().SlotNativeRate(SoundSlot::MinMax), 16000);
  EXPECT_EQ(engine.Device().SlotNativeRate(SoundSlot::Over), 1000);

  // Reloading unchanged settings makes nothing new.
  const SoundBuffer* wavSound = engine.Device().SlotSound(SoundSlot::MinMax);
  engine.ReloadSounds();
  EXPECT_EQ(engine.Device().SlotSound(SoundSlot::MinMax), wavSound);
}

TEST(SoundEngine, ConsumptionWhileOffIsIgnoredButResetPhaseWorks) {
  SharedSettings settings;
  ManualHighResClock clock(1'000'000, 5'000);
  RecordingAudio audio;
  SoundEngine engine(settings, clock, audio);
  EXPECT_EQ(engine.TicksPerMs(), 1000);
  EXPECT_FALSE(engine.IsEnabled());
  engine.SetConsumption(5);
  EXPECT_EQ(engine.Request().request.slot, SoundSlot::None);
  engine.ResetPhase();
  EXPECT_EQ(engine.Request().gridOrigin, 5'000);
  engine.SetEnabled(false);  // off while off: nothing
  EXPECT_FALSE(engine.IsEnabled());
}

}  // namespace
}  // namespace drunvale
