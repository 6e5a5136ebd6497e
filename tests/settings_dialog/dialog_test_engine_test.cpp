// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's sound test: its engine runs a real player thread on virtual time.
#include <gtest/gtest.h>

#include "settings_dialog/dialog_fixture.h"
#include "settings_dialog/level_tabs.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::DialogTest;

class DialogTestEngine : public DialogTest {
 protected:
  SignalRequest Request() { return dialog->TestEngine().Request().request; }
};

TEST_F(DialogTestEngine, SoundsTheShownLevelAndFollowsTheTabAtOnce) {
  Open();
  EXPECT_FALSE(dialog->TestEngine().IsEnabled());
  dialog->Toggled(SettingsControl::Test, true);
  EXPECT_TRUE(dialog->TestEngine().IsEnabled());
  EXPECT_EQ(Request().slot, SoundSlot::Zero);
  EXPECT_EQ(Request().pitch, 370);

  clock.AdvanceMs(7);
  dialog->SelectTab(3);
  EXPECT_EQ(Request().slot, SoundSlot::Over);
  EXPECT_EQ(Request().pitch, 740);
  EXPECT_EQ(dialog->TestEngine().Request().gridOrigin, clock.Now());  // starts now

  // Every change of a level control is heard at once, saved or not.
  Enter(SettingsControl::ToneEdit, "880");
  EXPECT_EQ(Request().pitch, 880);
  Enter(SettingsControl::IntervalEdit, "250");
  EXPECT_EQ(Request().intervalMs, 250);
  EXPECT_EQ(settings.Get().Params.LevelOver.ToneHz, 740);

  dialog->Toggled(SettingsControl::Test, false);
  EXPECT_FALSE(dialog->TestEngine().IsEnabled());
}

TEST_F(DialogTestEngine, UsesTheOverLimitShownNotTheSavedOne) {
  Open();
  Enter(SettingsControl::OverLimitEdit, "10");
  dialog->Toggled(SettingsControl::Test, true);

  dialog->SelectTab(3);
  EXPECT_EQ(Request().slot, SoundSlot::Over);
  EXPECT_EQ(Request().pitch, 740);

  dialog->SelectTab(2);  // 10 - 0.01: the Max end of the band
  EXPECT_EQ(Request().slot, SoundSlot::MinMax);
  EXPECT_NEAR(Request().pitch, 660, 0.25);
  EXPECT_EQ(Request().intervalMs, 100);

  clock.AdvanceMs(3);
  dialog->SelectTab(1);  // 0.01: the Min end
  EXPECT_EQ(Request().slot, SoundSlot::MinMax);
  EXPECT_NEAR(Request().pitch, 440, 0.25);
  EXPECT_EQ(Request().intervalMs, 5000);
  // The same slot with a longer interval would wait; the phase reset makes the beep due now.
  // The player thread may have started it already and moved the grid on by one interval.
  const int64_t origin = dialog->TestEngine().Request().gridOrigin;
  const int64_t interval = 5000 * dialog->TestEngine().TicksPerMs();
  EXPECT_TRUE(origin == clock.Now() || origin == clock.Now() + interval) << origin;

  EXPECT_EQ(settings.Get().Params.OverLimit, 20);
  EXPECT_TRUE(store.Log().empty());
  EXPECT_EQ(TestConsumption(2, 10), 9.99f);
}

TEST_F(DialogTestEngine, TestPlaysTheChosenFileOrTheTone) {
  ::drunvale::testing::TempFile wav("test-engine.wav",
                                    ::drunvale::testing::SimpleWav(1, 22050, 16, 64));
  Open();
  dialog->SelectTab(1);
  dialog->RadioClicked(SettingsControl::WavRadio);
  dialog->TakeBrowsedFile(wav.path());
  dialog->Toggled(SettingsControl::Test, true);
  const SoundBuffer* sound = dialog->TestEngine().Device().SlotSound(SoundSlot::MinMax);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->Source(), wav.path());
  EXPECT_EQ(Request().pitch, 22050);

  dialog->RadioClicked(SettingsControl::ToneRadio);
  sound = dialog->TestEngine().Device().SlotSound(SoundSlot::MinMax);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->Source(), "");
}

TEST_F(DialogTestEngine, ResetKeepsTheTestGoingOnTheDefaults) {
  Settings stored;
  stored.Params.LevelZero.ToneHz = 5;
  Open(stored);
  dialog->Toggled(SettingsControl::Test, true);
  EXPECT_EQ(Request().pitch, 20);
  Enter(SettingsControl::ToneEdit, "600");
  dialog->Reset();
  EXPECT_EQ(Request().pitch, 370);
  EXPECT_TRUE(Controls().test.checked);  // the test goes on
  dialog.reset();                        // closing the dialog stops it
}

}  // namespace
}  // namespace drunvale
