// SPDX-License-Identifier: GPL-3.0-or-later
// The engine with its real player thread, on the recording output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "emulator.h"
#include "platform/named_threads.h"
#include "platform/testing/manual_clock.h"
#include "sound/sound_engine.h"
#include "sound/testing/recording_audio.h"

namespace drunvale {
namespace {

// Waits (really) for something the player thread does; the time taken is not asserted.
bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int PlayerThreads() {
  return testing::ThreadsNamed(PlayerThread::kName);
}

// After a stop. Under qemu-user a joined thread stays listed for a moment: qemu clears the
// thread id the join waits on before its own thread ends. Natively the join leaves none.
int PlayerThreadsAfterStop() {
  if (testing::kEmulated) Eventually([] { return PlayerThreads() == 0; });
  return PlayerThreads();
}

bool AnySound(const std::vector<int16_t>& frames, size_t from = 0) {
  return std::any_of(frames.begin() + static_cast<ptrdiff_t>(std::min(from, frames.size())),
                     frames.end(), [](int16_t x) { return x != 0; });
}

class EngineThreadTest : public ::testing::Test {
 protected:
  SharedSettings settings;
  ManualHighResClock clock{1'000'000};
  RecordingAudio audio{&clock};
  std::unique_ptr<SoundEngine> engine = std::make_unique<SoundEngine>(settings, clock, audio);

  void SetUp() override {
    ASSERT_EQ(engine->Device().Create(), SoundStatus::Ok);
    engine->ReloadSounds();
  }
};

TEST_F(EngineThreadTest, OnResumesTheOutputAndRendersTheRequestAndOffPausesIt) {
  engine->SetConsumption(5);  // off: ignored
  EXPECT_FALSE(audio.Playing());
  engine->SetEnabled(true);
  EXPECT_TRUE(engine->IsEnabled());
  ASSERT_TRUE(Eventually([&] { return audio.Playing() && !audio.Written().empty(); }));
  EXPECT_FALSE(AnySound(audio.Written()));  // nothing requested yet: silence
  const size_t before = audio.Written().size();
  engine->SetConsumption(100);  // Over: continuous 740 Hz
  ASSERT_TRUE(Eventually([&] { return AnySound(audio.Written(), before); }));

  engine->SetEnabled(false);
  EXPECT_FALSE(engine->IsEnabled());
  EXPECT_FALSE(audio.Playing());
  EXPECT_EQ(audio.Calls().back(), "Pause");
}

TEST_F(EngineThreadTest, SwitchingOnTwiceStartsOneThread) {
  EXPECT_EQ(PlayerThreads(), 0);
  engine->SetEnabled(true);
  engine->SetEnabled(true);
  EXPECT_EQ(PlayerThreads(), 1);
  engine->SetEnabled(false);
  EXPECT_EQ(PlayerThreadsAfterStop(), 0);
  engine->SetEnabled(false);
  engine->SetEnabled(true);
  EXPECT_EQ(PlayerThreads(), 1);
  engine.reset();  // destruction switches off
  EXPECT_EQ(PlayerThreadsAfterStop(), 0);
  EXPECT_EQ(audio.StreamsAlive(), 0);
}

TEST_F(EngineThreadTest, ALostDeviceIsOpenedAgainAndTheSoundGoesOn) {
  engine->SetEnabled(true);
  engine->SetConsumption(0);  // Zero: continuous 370 Hz
  ASSERT_TRUE(Eventually([&] { return AnySound(audio.Written()); }));
  audio.LoseDevice();
  ASSERT_TRUE(Eventually([&] { return audio.StreamsOpened() == 2; }));
  const size_t before = audio.Written().size();
  ASSERT_TRUE(Eventually([&] { return AnySound(audio.Written(), before); }));
  EXPECT_TRUE(audio.Playing());
  engine->SetEnabled(false);
}

// Two engines at once (the main one and the settings dialog's) with requests, volume and slot
// changes racing the players: for ThreadSanitizer.
TEST(EngineThreads, TwoEnginesUnderConcurrentUse) {
  SharedSettings mainSettings;
  SharedSettings dialogCopy;
  ManualHighResClock clock{1'000'000};
  RecordingAudio audio{&clock};
  SoundEngine main(mainSettings, clock, audio);
  SoundEngine test(dialogCopy, clock, audio);
  for (SoundEngine* e : {&main, &test}) {
    ASSERT_EQ(e->Device().Create(), SoundStatus::Ok);
    e->ReloadSounds();
    e->SetEnabled(true);
  }
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; !done.load(); ++i) {
      main.SetConsumption(static_cast<float>(i % 25));
      clock.Advance(137'000);
      std::this_thread::yield();
    }
  });
  for (int i = 0; i < 300; ++i) {
    test.SetConsumption(i % 2 ? 0.01f : 19.99f);
    test.ResetPhase();
    main.Device().SetVolume(i % 101);
    Settings s;
    s.Params.OverLimit = static_cast<uint8_t>(5 + i % 20);
    dialogCopy.Set(s);
    test.Device().AssignSound(SoundSlot::Over, i % 3 ? "" : "/nonexistent.wav");
    if (i % 50 == 0) test.SetEnabled(i % 100 == 0);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  done = true;
  worker.join();
  main.SetEnabled(false);
  test.SetEnabled(false);
  EXPECT_EQ(PlayerThreadsAfterStop(), 0);
  EXPECT_TRUE(AnySound(audio.Written()));
}

}  // namespace
}  // namespace drunvale
