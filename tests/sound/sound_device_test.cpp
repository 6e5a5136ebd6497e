// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "sound/testing/recording_audio.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::TempFile;
using testing::WavBytes;

constexpr auto kZero = SoundSlot::Zero;
constexpr auto kMinMax = SoundSlot::MinMax;
constexpr auto kOver = SoundSlot::Over;

class SoundDeviceTest : public ::testing::Test {
 protected:
  RecordingAudio audio;
  SoundDevice device{audio};

  void AllTones() {
    ASSERT_TRUE(device.AssignSound(kZero, ""));
    ASSERT_TRUE(device.AssignSound(kMinMax, ""));
    ASSERT_TRUE(device.AssignSound(kOver, ""));
  }
};

TEST_F(SoundDeviceTest, WithoutADeviceEverythingStaysEmpty) {
  audio.FailDeviceCreation(SoundStatus::NoDevice);
  EXPECT_EQ(device.Create(), SoundStatus::NoDevice);
  EXPECT_FALSE(device.HasDevice());
  EXPECT_FALSE(device.AssignSound(kZero, ""));
  uint32_t lo = 0, hi = 0;
  EXPECT_FALSE(device.GetRateRange(lo, hi));
  EXPECT_EQ(device.SlotNativeRate(kZero), 0);
  device.SetVolume(30);
  EXPECT_EQ(device.Volume(), 30);
}

TEST_F(SoundDeviceTest, ToneSlotsShareOneSoundAndWavsShareByPath) {
  ASSERT_EQ(device.Create(), SoundStatus::Ok);
  AllTones();
  const SoundBuffer* tone = device.SlotSound(kZero);
  EXPECT_EQ(tone->RefCount(), 3);
  EXPECT_EQ(device.SlotSound(kOver), tone);
  EXPECT_EQ(device.SlotNativeRate(kZero), 1000);

  auto file = std::make_unique<TempFile>("share.wav", testing::SimpleWav(1, 8000, 8, 100));
  const std::string path = file->path();
  EXPECT_TRUE(device.AssignSound(kMinMax, path));
  EXPECT_EQ(tone->RefCount(), 2);
  EXPECT_EQ(device.SlotNativeRate(kMinMax), 8000);

  // The same path again shares the sound: the file is not read (it is gone by now).
  file.reset();
  ASSERT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(device.AssignSound(kOver, path));
  EXPECT_EQ(device.SlotSound(kOver), device.SlotSound(kMinMax));
  EXPECT_EQ(device.SlotSound(kOver)->RefCount(), 2);
  EXPECT_EQ(tone->RefCount(), 1);
  EXPECT_TRUE(device.AssignSound(kOver, path));  // held already: nothing to read either

  // An unusable file empties its slot only; the sound it held lives on in the other slot.
  EXPECT_FALSE(device.AssignSound(kOver, path + ".nothing"));
  EXPECT_EQ(device.SlotSound(kOver), nullptr);
  EXPECT_EQ(device.SlotSound(kMinMax)->RefCount(), 1);
  EXPECT_EQ(device.SlotSound(kZero), tone);
}

TEST_F(SoundDeviceTest, WavSamplesAreDecodedAndOnlyEightOrSixteenBitMonoOrStereoPlay) {
  ASSERT_EQ(device.Create(), SoundStatus::Ok);
  // 16-bit stereo: -32768 and 16384, then 0 and -16384; an odd byte left over is dropped.
  TempFile stereo("stereo.wav", WavBytes()
                                    .Chunk("fmt ", WavBytes::Fmt(1, 2, 22050, 16))
                                    .Chunk("data", {0x00, 0x80, 0x00, 0x40, 0, 0, 0x00, 0xC0, 7})
                                    .Bytes());
  ASSERT_TRUE(device.AssignSound(kZero, stereo.path()));
  const auto samples = device.SlotSound(kZero)->Samples();
  EXPECT_FALSE(samples->tone);
  EXPECT_EQ(samples->rate, 22050u);
  EXPECT_THAT(samples->frames, ::testing::ElementsAre(-1.0f, 0.5f, 0.0f, -0.5f));

  TempFile eight("eight.wav", testing::SimpleWav(1, 11025, 8, 4));
  ASSERT_TRUE(device.AssignSound(kMinMax, eight.path()));
  EXPECT_THAT(device.SlotSound(kMinMax)->Samples()->frames, ::testing::Each(0.0f));

  TempFile deep("deep.wav", testing::SimpleWav(1, 44100, 24, 30));
  TempFile wide("wide.wav", testing::SimpleWav(3, 44100, 16, 60));
  TempFile short_("short.wav", testing::SimpleWav(2, 44100, 16, 2));
  EXPECT_FALSE(device.AssignSound(kOver, deep.path()));
  EXPECT_FALSE(device.AssignSound(kOver, wide.path()));
  EXPECT_FALSE(device.AssignSound(kOver, short_.path()));  // not one whole frame
  EXPECT_EQ(device.SlotNativeRate(kOver), 0);
}

TEST_F(SoundDeviceTest, RateRangeIsWhatTheResamplerTakesAtTheDeviceRate) {
  audio.SetRate(48000);
  ASSERT_EQ(device.Create(), SoundStatus::Ok);
  uint32_t lo = 0, hi = 0;
  EXPECT_TRUE(device.GetRateRange(lo, hi));
  EXPECT_EQ(lo, 188u);  // 48000 / 256, rounded up
  EXPECT_EQ(hi, 48000u * 256);
}

TEST(SoundDeviceTeardown, TheStreamClosesWithTheDevice) {
  RecordingAudio audio;
  {
    SoundDevice device(audio);
    ASSERT_EQ(device.Create(), SoundStatus::Ok);
    ASSERT_TRUE(device.AssignSound(kZero, ""));
    EXPECT_EQ(audio.StreamsAlive(), 1);
    EXPECT_FALSE(audio.Playing());  // opened paused: nothing mixes until the sound is on
  }
  EXPECT_EQ(audio.StreamsAlive(), 0);
}

TEST(SoundBufferLoad, LoadingAgainKeepsTheSourceAndAFailedLoadKeepsTheOld) {
  SoundBuffer sound;
  TempFile file("again.wav", testing::SimpleWav(1, 8000, 8, 10));
  ASSERT_EQ(sound.Load(file.path()), SoundStatus::Ok);
  const auto first = sound.Samples();
  ASSERT_EQ(sound.Load(file.path()), SoundStatus::Ok);
  EXPECT_NE(sound.Samples(), first);
  EXPECT_EQ(sound.Source(), file.path());
  EXPECT_EQ(sound.RateFactor(), 1);
  EXPECT_NE(sound.Load(file.path() + ".gone"), SoundStatus::Ok);
  EXPECT_EQ(sound.Source(), file.path());
  EXPECT_EQ(sound.NativeRate(), 8000);
  ASSERT_EQ(sound.Load(""), SoundStatus::Ok);
  EXPECT_TRUE(sound.Samples()->tone);
  EXPECT_EQ(sound.RateFactor(), 12);
}

}  // namespace
}  // namespace drunvale
