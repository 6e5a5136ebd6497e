#include "sound/beep_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/testing/manual_clock.h"
#include "sound/sound_device.h"
#include "sound/testing/recording_audio.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::TempFile;

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

// The player thread's loop on virtual time: a pass, its slot operations, then a jump to the
// instant it asked to wake at.
class PlayerRig : public ::testing::Test {
 protected:
  ManualHighResClock clock{1'000'000};  // 1000 ticks per ms
  RecordingAudio audio{&clock};
  SoundDevice device{audio};
  SignalState signal{clock};
  BeepPlayer player;
  Parameters params = Settings().Params;

  void SetUp() override {
    ASSERT_EQ(device.Create(), kSoundOk);
    signal.Activate();
  }
  PlayerStep Pass() {
    PlayerStep step = player.Pass(signal);
    ApplyStep(*device.Slots(), step);
    return step;
  }
  // Runs passes until virtual time would pass endMs; returns the number of passes.
  int RunUntil(int64_t endMs) {
    int passes = 0;
    for (;;) {
      PlayerStep step = Pass();
      ++passes;
      if (step.wakeAt == kNever || step.wakeAt > endMs * 1000) break;
      clock.Set(step.wakeAt);
    }
    clock.Set(endMs * 1000);
    return passes;
  }
  // "text@ms" for the calls that start and stop sounds.
  std::vector<std::string> Timeline(int buffer = -1) {
    std::vector<std::string> out;
    for (const AudioCall& call : audio.Log()) {
      if (buffer >= 0 && call.buffer != buffer) continue;
      if (call.text.rfind("Play", 0) == 0 || call.text == "Stop") {
        out.push_back(call.text + "@" + std::to_string(call.at / 1000));
      }
    }
    return out;
  }
};

TEST_F(PlayerRig, BeepsOnTheGridAndSleepsInBetween) {
  ASSERT_TRUE(device.AssignSound(SoundSlot::MinMax, ""));
  signal.SetConsumption(params, 5);  // 400 ms, 200 ms beeps
  const int passes = RunUntil(1300);
  EXPECT_THAT(Timeline(1),
              ::testing::ElementsAre("Play loop@0", "Stop@200", "Play loop@400", "Stop@600",
                                     "Play loop@800", "Stop@1000", "Play loop@1200"));
  EXPECT_EQ(passes, 7);  // one per start and stop: no polling
  EXPECT_EQ(audio.Buffer(1).frequency, 5940u);
}

TEST_F(PlayerRig, NothingDueSleepsUntilANewRequest) {
  EXPECT_EQ(Pass().wakeAt, kNever);
  EXPECT_TRUE(Timeline().empty());
}

TEST_F(PlayerRig, OneMillisecondIntervalIsNeverSilent) {
  params.LevelMin.IntervalMs = params.LevelMax.IntervalMs = 1;
  ASSERT_TRUE(device.AssignSound(SoundSlot::MinMax, ""));
  signal.SetConsumption(params, 5);
  RunUntil(50);
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play loop@0"));
}

TEST_F(PlayerRig, SlotChangeMidBeepStopsTheOldSoundFirst) {
  TempFile wav("over.wav", testing::SimpleWav(1, 8000, 8, 800));
  ASSERT_TRUE(device.AssignSound(SoundSlot::MinMax, ""));
  ASSERT_TRUE(device.AssignSound(SoundSlot::Over, wav.path()));
  signal.SetConsumption(params, 5);
  RunUntil(100);
  signal.SetConsumption(params, 25);
  PlayerStep step = Pass();
  EXPECT_EQ(step.stop, SoundSlot::MinMax);
  EXPECT_EQ(step.playSlot, SoundSlot::Over);
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play loop@0", "Stop@100", "Play loop@100"));
  EXPECT_EQ(Timeline(2), std::vector<std::string>{"Play loop@100"});
}

TEST_F(PlayerRig, BeepLengthRenewsWhenTheNextBeepComesBeforeTheStop) {
  ASSERT_TRUE(device.AssignSound(SoundSlot::MinMax, ""));
  signal.SetConsumption(params, 2);  // 1000 ms, 385 ms beeps
  RunUntil(100);
  signal.ResetPhase();  // due again now, mid-beep
  RunUntil(600);
  // No stop between the two starts, and the second beep ends 385 ms after its own start.
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play loop@0", "Stop@485"));
}

TEST_F(PlayerRig, ContinuousOneShotWavIsStartedAgainWhenItEnds) {
  TempFile wav("zero.wav", testing::SimpleWav(1, 8000, 8, 800));
  ASSERT_TRUE(device.AssignSound(SoundSlot::Zero, wav.path()));
  params.LevelZero = {0, 370, false, 8000, false};
  signal.SetConsumption(params, 0);
  PlayerStep first = Pass();
  EXPECT_EQ(first.wakeAt, 1000);  // re-checked every millisecond
  RunUntil(40);
  audio.FinishPlayback(1);
  RunUntil(100);
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play once@0", "Play once@41"));
}

TEST_F(PlayerRig, ContinuousLoopedSoundIsNotPolled) {
  ASSERT_TRUE(device.AssignSound(SoundSlot::Zero, ""));
  signal.SetConsumption(params, 0);
  EXPECT_EQ(Pass().wakeAt, kNever);
  // A pitch change comes as a new request and is played at the next pass.
  clock.AdvanceMs(30);
  params.LevelZero.ToneHz = 400;
  signal.SetConsumption(params, 0);
  Pass();
  EXPECT_EQ(audio.Buffer(1).frequency, 4800u);
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play loop@0"));
}

TEST_F(PlayerRig, SilenceStopsEvenAContinuousSoundUntilTheNextValue) {
  ASSERT_TRUE(device.AssignSound(SoundSlot::Zero, ""));
  signal.SetConsumption(params, 0);  // looped: it would sound on by itself
  RunUntil(30);
  signal.Silence();
  EXPECT_EQ(RunUntil(5000), 1);  // one pass stops it, then sleep until a new request
  signal.SetConsumption(params, 0);
  RunUntil(5001);
  EXPECT_THAT(Timeline(), ::testing::ElementsAre("Play loop@0", "Stop@30", "Play loop@5000"));
}

TEST_F(PlayerRig, EmptySlotKeepsTheTiming) {
  signal.SetConsumption(params, 5);
  PlayerStep step = Pass();
  EXPECT_TRUE(step.play);
  EXPECT_EQ(step.wakeAt, 200'000);
  RunUntil(1000);
  EXPECT_EQ(signal.Snapshot().dueTime, 1'200'000);
}

}  // namespace
}  // namespace drunvale
