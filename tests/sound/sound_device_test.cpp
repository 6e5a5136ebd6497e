#include "sound/sound_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "sound/signal_request.h"
#include "sound/testing/recording_audio.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;
using testing::TempFile;

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
  std::vector<uint32_t> FrequenciesSet(int buffer) {
    std::vector<uint32_t> rates;
    for (const std::string& call : audio.Calls(buffer)) {
      if (call.rfind("SetFrequency ", 0) == 0) rates.push_back(std::stoul(call.substr(13)));
    }
    return rates;
  }
};

TEST_F(SoundDeviceTest, WithoutADeviceEverythingStaysEmpty) {
  audio.FailDeviceCreation(kSoundNoDriver);
  EXPECT_EQ(device.Create(), kSoundNoDriver);
  EXPECT_FALSE(device.HasDevice());
  EXPECT_FALSE(device.AssignSound(kZero, ""));
  uint32_t lo = 0, hi = 0;
  EXPECT_FALSE(device.GetRateRange(lo, hi));
  EXPECT_EQ(device.SlotNativeRate(kZero), 0);
  EXPECT_FALSE(device.StopSlot(kZero));
  device.SetVolume(30);
  EXPECT_EQ(device.Volume(), 30);
}

TEST_F(SoundDeviceTest, RefusedPriorityLeavesTheDefaultFormat) {
  audio.RefusePriority();
  EXPECT_EQ(device.Create(), kSoundOk);
  EXPECT_TRUE(device.HasDevice());
  EXPECT_THAT(audio.Calls(),
              ElementsAre("CreateDevice", "SetCooperativeLevel 2", "SetCooperativeLevel 1"));
}

TEST_F(SoundDeviceTest, PrimaryFormatIsTheFirstOfTheTwelveAccepted) {
  audio.AcceptPrimaryFormat([](const PcmFormat& f) {
    return f.bitsPerSample == 8 && f.channels == 1 && f.samplesPerSec == 22050;
  });
  EXPECT_EQ(device.Create(), kSoundOk);
  std::vector<PcmFormat> offered = audio.PrimaryFormatsOffered();
  ASSERT_EQ(offered.size(), 10u);
  EXPECT_EQ(offered.front(), MakePcmFormat(2, 44100, 16));
  EXPECT_EQ(offered[5], MakePcmFormat(1, 11025, 16));
  EXPECT_EQ(offered.back(), MakePcmFormat(1, 22050, 8));
  EXPECT_EQ(offered.back().avgBytesPerSec, 22050u);
}

TEST_F(SoundDeviceTest, NoAcceptedFormatStillSucceeds) {
  audio.AcceptPrimaryFormat([](const PcmFormat&) { return false; });
  EXPECT_EQ(device.Create(), kSoundOk);
  EXPECT_EQ(audio.PrimaryFormatsOffered().size(), 12u);
  EXPECT_EQ(audio.PrimaryFormatsOffered().back(), MakePcmFormat(1, 11025, 8));
}

TEST_F(SoundDeviceTest, ToneSlotsShareOneSoundAndWavsShareByPath) {
  ASSERT_EQ(device.Create(), kSoundOk);
  AllTones();
  EXPECT_EQ(audio.BuffersCreated(), 1);
  const SoundBuffer* tone = device.SlotSound(kZero);
  EXPECT_EQ(tone->RefCount(), 3);
  EXPECT_EQ(device.SlotSound(kOver), tone);

  auto file = std::make_unique<TempFile>("share.wav", testing::SimpleWav(1, 8000, 8, 100));
  const std::string path = file->path();
  EXPECT_TRUE(device.AssignSound(kMinMax, path));
  EXPECT_EQ(tone->RefCount(), 2);
  EXPECT_EQ(audio.BuffersCreated(), 2);

  // The same path again shares the sound: the file is not read (it is gone by now).
  file.reset();
  ASSERT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(device.AssignSound(kOver, path));
  EXPECT_EQ(device.SlotSound(kOver), device.SlotSound(kMinMax));
  EXPECT_EQ(device.SlotSound(kOver)->RefCount(), 2);
  EXPECT_EQ(tone->RefCount(), 1);
  // The source a slot already holds is not reloaded.
  audio.ClearLog();
  EXPECT_TRUE(device.AssignSound(kOver, path));
  EXPECT_TRUE(audio.Calls().empty());

  // An unusable file empties its slot only; the sound it held lives on in the other slot.
  EXPECT_FALSE(device.AssignSound(kOver, path + ".nothing"));
  EXPECT_EQ(device.SlotSound(kOver), nullptr);
  EXPECT_EQ(device.SlotSound(kMinMax)->RefCount(), 1);
  EXPECT_EQ(device.SlotSound(kZero), tone);
  EXPECT_FALSE(audio.Buffer(2).released);
}

TEST_F(SoundDeviceTest, ToneSamplesAndFocusFallback) {
  ASSERT_EQ(device.Create(), kSoundOk);
  audio.RefuseBuffers(true, false);
  ASSERT_TRUE(device.AssignSound(kZero, ""));
  RecordedBuffer b = audio.Buffer(1);
  EXPECT_FALSE(b.description.globalFocus);
  EXPECT_EQ(b.description.format, MakePcmFormat(1, 12000, 8));
  ASSERT_EQ(b.samples.size(), 96u);
  const std::vector<uint8_t> period = {128, 170, 212, 254, 212, 170, 128, 86, 44, 2, 44, 86};
  for (size_t i = 0; i < 96; ++i)
    ASSERT_EQ(b.samples[i], period[i % 12]) << i;
  EXPECT_EQ(device.SlotNativeRate(kZero), 1000);

  audio.RefuseBuffers(true, true);
  TempFile file("refused.wav", testing::SimpleWav(1, 8000, 8, 10));
  EXPECT_FALSE(device.AssignSound(kOver, file.path()));
  EXPECT_EQ(device.SlotNativeRate(kOver), 0);
}

TEST_F(SoundDeviceTest, ToneRatesFollowThePitch) {
  ASSERT_EQ(device.Create(), kSoundOk);
  AllTones();
  auto slots = device.Slots();
  slots->Play(kMinMax, 440, true);
  slots->Play(kMinMax, 440, true);  // unchanged rate, already playing: nothing to do
  slots->Play(kMinMax, 20, true);
  EXPECT_THAT(FrequenciesSet(1), ElementsAre(5280u, 240u));
  EXPECT_THAT(audio.Calls(1), ::testing::Contains("Play loop").Times(1));

  // The band of the default settings, value by value.
  const Parameters params = Settings().Params;
  const std::pair<float, uint32_t> table[] = {{0.2f, 5306}, {0.5f, 5346}, {1, 5412},
                                              {2, 5544},    {5, 5940},    {10, 6600},
                                              {15, 7260},   {19.9f, 7906}};
  for (const auto& [value, rate] : table) {
    slots->Play(kMinMax, ClassifyConsumption(params, value).pitch, true);
    EXPECT_EQ(FrequenciesSet(1).back(), rate) << value;
  }
}

TEST_F(SoundDeviceTest, WavPlaysAtTheRequestedSampleRate) {
  ASSERT_EQ(device.Create(), kSoundOk);
  TempFile file("rate.wav", testing::SimpleWav(2, 22050, 16, 400));
  ASSERT_TRUE(device.AssignSound(kZero, file.path()));
  EXPECT_EQ(device.SlotNativeRate(kZero), 22050);
  device.Slots()->Play(kZero, 22050, false);
  device.Slots()->Play(kZero, 44100, false);
  EXPECT_THAT(FrequenciesSet(1), ElementsAre(22050u, 44100u));
  EXPECT_EQ(audio.Buffer(1).description.bytes, 400u);
}

TEST_F(SoundDeviceTest, VolumeIsStoredAsGivenAndAppliedClamped) {
  const std::pair<int32_t, int32_t> table[] = {{0, -10000}, {1, -9500},   {5, -7600},  {10, -6000},
                                               {20, -4000}, {30, -2800},  {40, -2000}, {50, -1500},
                                               {60, -1000}, {70, -700},   {80, -400},  {90, -200},
                                               {100, 0},    {-5, -10000}, {150, 0}};
  for (const auto& [volume, attenuation] : table) {
    EXPECT_EQ(SoundBuffer::AttenuationForVolume(volume), attenuation) << volume;
  }
  for (int v = 0; v <= 100; ++v) {
    ASSERT_EQ(SoundBuffer::AttenuationForVolume(v), 100 * (120 * v / (v + 20)) - 10000) << v;
  }

  ASSERT_EQ(device.Create(), kSoundOk);
  device.SetVolume(50);
  AllTones();  // a new sound gets the current volume
  EXPECT_EQ(audio.Buffer(1).attenuation, -1500);
  audio.ClearLog();
  device.SetVolume(120);
  EXPECT_EQ(device.Volume(), 120);
  EXPECT_EQ(audio.Buffer(1).attenuation, 0);
  // Once per slot, even for a shared sound.
  EXPECT_EQ(audio.Calls(1).size(), 3u);
}

TEST_F(SoundDeviceTest, RateRangeComesFromTheCapabilities) {
  ASSERT_EQ(device.Create(), kSoundOk);
  audio.SetRateRange(216, 11'245'500);
  uint32_t lo = 0, hi = 0;
  EXPECT_TRUE(device.GetRateRange(lo, hi));
  EXPECT_EQ(lo, 216u);
  EXPECT_EQ(hi, 11'245'500u);
  audio.FailCaps();
  EXPECT_FALSE(device.GetRateRange(lo, hi));
}

TEST_F(SoundDeviceTest, ALostBufferIsRebuiltWithItsRateAndVolume) {
  ASSERT_EQ(device.Create(), kSoundOk);
  device.SetVolume(50);
  AllTones();
  auto slots = device.Slots();
  slots->Play(kMinMax, 440, true);
  audio.LoseBuffer(1);
  slots->Play(kMinMax, 440, true);
  EXPECT_TRUE(audio.Buffer(1).released);
  RecordedBuffer rebuilt = audio.Buffer(2);
  EXPECT_TRUE(rebuilt.playing);
  EXPECT_TRUE(rebuilt.looping);
  EXPECT_EQ(rebuilt.frequency, 5280u);
  EXPECT_EQ(rebuilt.attenuation, -1500);
  EXPECT_EQ(rebuilt.samples.size(), 96u);
  // All three slots still hold the one (rebuilt) sound.
  EXPECT_EQ(device.SlotSound(kZero)->RefCount(), 3);
}

TEST_F(SoundDeviceTest, StopSlotStopsAndRewinds) {
  ASSERT_EQ(device.Create(), kSoundOk);
  EXPECT_FALSE(device.StopSlot(kZero));
  AllTones();
  device.Slots()->Play(kZero, 370, true);
  audio.ClearLog();
  EXPECT_TRUE(device.StopSlot(kZero));
  EXPECT_THAT(audio.Calls(), ElementsAre("Stop", "Rewind"));
}

TEST(SoundDeviceTeardown, TheDeviceLivesUntilItsLastSoundIsGone) {
  RecordingAudio audio;
  {
    SoundDevice device(audio);
    ASSERT_EQ(device.Create(), kSoundOk);
    ASSERT_TRUE(device.AssignSound(kZero, ""));
    EXPECT_EQ(audio.DevicesAlive(), 1);
    audio.ClearLog();
  }
  EXPECT_EQ(audio.DevicesAlive(), 0);
  EXPECT_THAT(audio.Calls(), ElementsAre("Stop", "Rewind", "Release", "ReleaseDevice"));
}

TEST(SoundBufferRestore, RetriesFiftyTimesTenMsApart) {
  RecordingAudio audio;
  std::shared_ptr<AudioDevice> device;
  ASSERT_EQ(audio.CreateDevice(device), kSoundOk);
  SoundBuffer sound(device);
  ASSERT_EQ(sound.Load(""), kSoundOk);

  audio.LoseBuffer(1, 3);
  audio.ClearLog();
  EXPECT_EQ(sound.RestoreIfLost(), kSoundOk);
  EXPECT_THAT(audio.Calls(), ElementsAre("Restore", "Pause 10", "Restore", "Pause 10", "Restore",
                                         "Pause 10", "Restore"));

  audio.LoseBuffer(1, 1000);
  audio.ClearLog();
  EXPECT_EQ(sound.RestoreIfLost(), kSoundBufferLost);
  EXPECT_EQ(audio.Calls().size(), 100u);
}

TEST(SoundBufferLoad, LoadingAgainRebuildsAndKeepsTheSource) {
  RecordingAudio audio;
  std::shared_ptr<AudioDevice> device;
  ASSERT_EQ(audio.CreateDevice(device), kSoundOk);
  SoundBuffer sound(device);
  EXPECT_EQ(sound.Play(440, true), kSoundFail);  // nothing loaded yet
  TempFile file("again.wav", testing::SimpleWav(1, 8000, 8, 10));
  ASSERT_EQ(sound.Load(file.path()), kSoundOk);
  ASSERT_EQ(sound.Play(8000, false), kSoundOk);
  ASSERT_EQ(sound.Load(file.path()), kSoundOk);
  EXPECT_TRUE(audio.Buffer(1).released);
  EXPECT_EQ(sound.Source(), file.path());
  EXPECT_EQ(sound.RateFactor(), 1);
  // A failed load keeps the old source.
  EXPECT_NE(sound.Load(file.path() + ".gone"), kSoundOk);
  EXPECT_EQ(sound.Source(), file.path());
  EXPECT_FALSE(sound.HasBuffer());
}

}  // namespace
}  // namespace drunvale
