// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog's logic with the test button off: no player thread runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/contract_store.h"
#include "settings_dialog/dialog_fixture.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::DialogTest;
using ::testing::ElementsAre;

constexpr const char* kKey = "Software\\Tembrook\\Drunvale\\1.0";

TEST_F(DialogTest, OpensOnTheStoredSettingsWithOutOfRangeValuesBroughtIn) {
  Settings stored;
  stored.Port = "/dev/ttyUSB1";
  stored.Params.BaudRate = 9600;
  stored.Params.JamMinutes = 0;
  stored.Params.FuelPrice = 52.5f;
  stored.Params.LevelZero.ToneHz = 5;
  stored.Params.LevelOver.ToneHz = 5;
  Open(stored);

  EXPECT_EQ(Controls().ports.selected, 2);
  EXPECT_EQ(Controls().bauds.selected, 0);
  EXPECT_EQ(Controls().jamMinutes.Text(), "1");
  // A level's values come back through its edits when its tab is shown, not before.
  EXPECT_EQ(Controls().tone.Text(), "20");
  EXPECT_EQ(Working().LevelZero.ToneHz, 20);
  EXPECT_EQ(Working().LevelOver.ToneHz, 5);
  dialog->SelectTab(3);
  EXPECT_EQ(Working().LevelOver.ToneHz, 20);

  dialog->Save();
  const Settings saved = settings.Get();
  EXPECT_EQ(saved.Port, "/dev/ttyUSB1");
  EXPECT_EQ(saved.Params.BaudRate, 10400);
  EXPECT_EQ(saved.Params.JamMinutes, 1);
  EXPECT_EQ(saved.Params.LevelZero.ToneHz, 20);
  Settings reloaded;
  ASSERT_EQ(reloaded.Load(store), StoreResult::Ok);
  EXPECT_EQ(reloaded, saved);
}

TEST_F(DialogTest, PortIsSelectedByItsExactNameAndKeptWhenNotPresent) {
  ports = {{"/dev/ttyS0"}, {"/dev/serial/by-id/usb-A", "/dev/ttyUSB0"}, {"/dev/ttyUSB10"}};
  const auto openOn = [&](const char* port) {
    Settings stored;
    stored.Port = port;
    Open(stored);
    const ListControl& list = Controls().ports;
    return list.selected < 0 ? std::string("none") : list.items[list.selected];
  };
  // Absent, or present only under another case or a longer number: offered after the present
  // ones, and a save keeps it.
  for (const char* absent : {"/dev/ttyUSB1", "/dev/TTYUSB10", "/dev/pts/7"}) {
    EXPECT_EQ(openOn(absent), absent);
    EXPECT_EQ(Controls().ports.items.size(), 5u);
    Enter(SettingsControl::Price, "41");
    dialog->Save();
    Settings reloaded;
    ASSERT_EQ(reloaded.Load(store), StoreResult::Ok);
    EXPECT_EQ(reloaded.Port, absent);
    EXPECT_EQ(settings.Get().Port, absent);
  }
  // An adapter is listed once, under the name it is stored by.
  EXPECT_EQ(openOn("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_THAT(Controls().ports.items, ElementsAre("/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB10",
                                                  "socket://192.168.0.10:35000"));
  EXPECT_EQ(openOn("/dev/serial/by-id/usb-A"), "/dev/serial/by-id/usb-A");
  EXPECT_EQ(Controls().ports.items.size(), 4u);

  ports.clear();
  EXPECT_EQ(openOn(""), "none");
  EXPECT_EQ(openOn("/dev/ttyUSB7"), "/dev/ttyUSB7");
}

TEST_F(DialogTest, PortGivenForThisRunIsShownButTheStoredOneIsSaved) {
  // The platform's real store, so what is checked is what reached the disk or the registry.
  auto place = testing::MakeContractStore();
  UserStore& file = place->Store();
  Settings stored;
  stored.Port = "/dev/ttyUSB1";
  ASSERT_EQ(stored.Save(file), StoreResult::Ok);
  Settings running = stored;  // as the program holds them after --port /dev/pts/4 --adapter elm
  running.Port = "/dev/pts/4";
  running.Adapter = AdapterKind::Elm;

  Open(running, &file);
  EXPECT_EQ(Controls().ports.items[Controls().ports.selected], "/dev/pts/4");
  Enter(SettingsControl::Price, "41");
  dialog->Save();
  EXPECT_EQ(settings.Get().Port, "/dev/pts/4");  // still in use
  EXPECT_EQ(settings.Get().Adapter, AdapterKind::Elm);
  Settings reread;
  ASSERT_EQ(reread.Load(file), StoreResult::Ok);
  EXPECT_EQ(reread.Port, "/dev/ttyUSB1");
  EXPECT_EQ(reread.Adapter, AdapterKind::Automatic);
  EXPECT_EQ(reread.Params.FuelPrice, 41.0f);

  // A port picked in the dialog is the one stored, and used from now on.
  Open(running, &file);
  dialog->Select(SettingsControl::PortList, 0);
  dialog->Save();
  ASSERT_EQ(reread.Load(file), StoreResult::Ok);
  EXPECT_EQ(reread.Port, "/dev/ttyS0");
  EXPECT_EQ(settings.Get().Port, "/dev/ttyS0");
}

// The Wi-Fi address is offered; any other is typed, blanks around it dropped; typing a listed
// name selects its entry. The adapter kind is chosen beside it.
TEST_F(DialogTest, ATypedAddressAndTheAdapterKindAreSaved) {
  Open();
  EXPECT_EQ(Controls().ports.items.back(), "socket://192.168.0.10:35000");
  EXPECT_EQ(Controls().adapters.selected, 0);
  EXPECT_EQ(Controls().adapters.items.size(), 3u);
  dialog->TextChanged(SettingsControl::PortList, " socket://10.0.0.5:35000 ");
  EXPECT_EQ(Controls().ports.selected, -1);
  dialog->Select(SettingsControl::AdapterList, 2);
  dialog->Save();
  Settings reloaded;
  ASSERT_EQ(reloaded.Load(store), StoreResult::Ok);
  EXPECT_EQ(reloaded.Port, "socket://10.0.0.5:35000");
  EXPECT_EQ(reloaded.Adapter, AdapterKind::Elm);

  Open(reloaded);
  EXPECT_EQ(Controls().ports.text, "socket://10.0.0.5:35000");
  dialog->TextChanged(SettingsControl::PortList, "socket://192.168.0.10:35000");
  EXPECT_EQ(Controls().ports.selected, static_cast<int>(Controls().ports.items.size()) - 1);
  dialog->Select(SettingsControl::PortList, 0);
  EXPECT_EQ(Controls().ports.text, Controls().ports.items[0]);
}

// The standard data's figures: petrol's by default, typed ones brought into range when left,
// a comma taken as the decimal point, and locked while only the block is read.
TEST_F(DialogTest, TheDataSourceAndTheEstimatesFiguresAreSaved) {
  Open();
  EXPECT_EQ(Controls().sources.selected, 0);
  EXPECT_EQ(Controls().displacement.text, "");
  EXPECT_EQ(Controls().afr.text, "14.70");
  EXPECT_EQ(Controls().density.text, "745");
  dialog->Select(SettingsControl::SourceList, 1);
  EXPECT_FALSE(Controls().afr.enabled);
  dialog->Select(SettingsControl::SourceList, 2);
  EXPECT_TRUE(Controls().displacement.enabled);
  dialog->TextChanged(SettingsControl::Displacement, "1596");
  dialog->TextChanged(SettingsControl::Afr, "14,1");
  dialog->TextChanged(SettingsControl::Density, "9999");
  dialog->FocusLeft(SettingsControl::Density);
  EXPECT_EQ(Controls().density.text, "1000");
  EXPECT_EQ(Controls().afr.text, "14.10");
  dialog->TextChanged(SettingsControl::Density, "");
  dialog->Save();
  Settings reloaded;
  ASSERT_EQ(reloaded.Load(store), StoreResult::Ok);
  EXPECT_EQ(reloaded.Source, DataSourceKind::StandardObd);
  EXPECT_EQ(reloaded.Fuel, (ObdFuel{1596, 1410, 745}));

  dialog->Reset();
  EXPECT_EQ(Controls().sources.selected, 0);
  EXPECT_EQ(Controls().displacement.text, "");
}

TEST_F(DialogTest, RateArrowsTakeTheirRangeFromTheDevice) {
  audio.SetRate(25600);  // WAV rates from 1/256 of the device's rate up: 100 samples/s
  Open();
  EXPECT_EQ(Controls().rate.Lower(), 10);
  EXPECT_EQ(Controls().rate.Upper(), 32767);

  audio.FailDeviceCreation(SoundStatus::Failed);
  Open();
  EXPECT_EQ(Controls().rate.Lower(), 1);
  EXPECT_EQ(Controls().rate.Upper(), 32767);
}

TEST_F(DialogTest, MaxTabShowsTheMinModeAndLocksWhatItShares) {
  Open();
  dialog->SelectTab(1);
  dialog->RadioClicked(SettingsControl::WavRadio);
  EXPECT_FALSE(Working().LevelMin.UseTone);
  EXPECT_FALSE(Working().LevelMax.UseTone);
  dialog->Toggled(SettingsControl::Loop, true);
  EXPECT_TRUE(Working().LevelMax.AutoRepeat);

  dialog->SelectTab(2);
  EXPECT_TRUE(Controls().wavRadio.checked);
  EXPECT_TRUE(Controls().wavRadio.enabled);
  EXPECT_FALSE(Controls().toneRadio.enabled);
  EXPECT_FALSE(Controls().path.enabled);
  EXPECT_FALSE(Controls().browse.enabled);
  EXPECT_FALSE(Controls().loop.enabled);
  EXPECT_TRUE(Controls().interval.enabled);
  EXPECT_TRUE(Controls().rate.enabled);

  // Clicking the one radio left changes nothing that is locked, and the others are ignored.
  dialog->RadioClicked(SettingsControl::WavRadio);
  EXPECT_FALSE(Controls().path.enabled);
  EXPECT_FALSE(Controls().browse.enabled);
  EXPECT_FALSE(Controls().loop.enabled);
  dialog->RadioClicked(SettingsControl::ToneRadio);
  dialog->Toggled(SettingsControl::Loop, false);
  EXPECT_FALSE(Working().LevelMax.UseTone);
  EXPECT_TRUE(Working().LevelMax.AutoRepeat);

  // In tone mode the frequency is what the Max tab edits.
  dialog->SelectTab(1);
  dialog->RadioClicked(SettingsControl::ToneRadio);
  dialog->SelectTab(2);
  Enter(SettingsControl::ToneEdit, "880");
  EXPECT_EQ(Working().LevelMax.ToneHz, 880);
  EXPECT_EQ(Working().LevelMin.ToneHz, 440);
}

TEST_F(DialogTest, MinModeReachesMaxWhenTheMinTabIsLeftOrSaved) {
  Settings stored;
  stored.Params.LevelMin.UseTone = false;
  stored.Params.LevelMin.AutoRepeat = true;
  Open(stored);
  EXPECT_TRUE(Working().LevelMax.UseTone);  // not touched until the Min tab is left
  dialog->SelectTab(1);
  dialog->SelectTab(0);
  EXPECT_FALSE(Working().LevelMax.UseTone);
  EXPECT_TRUE(Working().LevelMax.AutoRepeat);

  Open(stored);
  dialog->SelectTab(1);
  dialog->Save();
  EXPECT_FALSE(settings.Get().Params.LevelMax.UseTone);
  EXPECT_TRUE(settings.Get().Params.LevelMax.AutoRepeat);
}

TEST_F(DialogTest, UpDownEditsClampWhenLeftAndArrowsStep) {
  Open();
  dialog->FocusEntered(SettingsControl::ToneEdit);
  for (const char* typed : {"2", "25", "250", "2500", "25000"}) {
    dialog->TextChanged(SettingsControl::ToneEdit, typed);
  }
  EXPECT_EQ(Working().LevelZero.ToneHz, 2500);  // the last whole number in range
  dialog->FocusLeft(SettingsControl::ToneEdit);
  EXPECT_EQ(Controls().tone.Text(), "20000");
  EXPECT_EQ(Working().LevelZero.ToneHz, 20000);

  Enter(SettingsControl::JamMinutes, "");
  EXPECT_EQ(Controls().jamMinutes.Text(), "1");
  Enter(SettingsControl::IntervalEdit, "");
  EXPECT_EQ(Controls().interval.Text(), "0");
  EXPECT_EQ(Working().LevelZero.IntervalMs, 0);

  dialog->Step(SettingsControl::IntervalUpDown, -1);  // at the bottom already
  dialog->Step(SettingsControl::IntervalUpDown, +1);
  EXPECT_EQ(Controls().interval.Text(), "1");
  EXPECT_EQ(Working().LevelZero.IntervalMs, 1);
  dialog->Step(SettingsControl::JamMinutes, +1);  // the arrow keys in the edit
  EXPECT_EQ(Controls().jamMinutes.Text(), "2");

  // The jam and limit edits reach the settings only on Save.
  Enter(SettingsControl::OverLimitEdit, "35");
  EXPECT_EQ(Working().OverLimit, 20);
  dialog->Save();
  EXPECT_EQ(settings.Get().Params.JamMinutes, 2);
  EXPECT_EQ(settings.Get().Params.OverLimit, 35);
  EXPECT_EQ(settings.Get().Params.LevelZero.ToneHz, 20000);
}

TEST_F(DialogTest, PlaybackRateKeepsWhatWasTypedAndStepsByTen) {
  Open();
  dialog->SelectTab(3);
  dialog->RadioClicked(SettingsControl::WavRadio);
  Enter(SettingsControl::RateEdit, "44101");
  EXPECT_EQ(Controls().rate.Text(), "44101");
  EXPECT_EQ(Controls().rate.Value(), 4410);
  EXPECT_EQ(Working().LevelOver.SampleRate, 44101u);

  dialog->Step(SettingsControl::RateUpDown, +1);
  EXPECT_EQ(Controls().rate.Text(), "44110");
  EXPECT_EQ(Working().LevelOver.SampleRate, 44110u);
  dialog->Step(SettingsControl::RateEdit, -1);
  dialog->Step(SettingsControl::RateEdit, -1);
  EXPECT_EQ(Working().LevelOver.SampleRate, 44090u);

  // Typed rates are not clamped; the arrows are.
  Enter(SettingsControl::RateEdit, "999999");
  EXPECT_EQ(Working().LevelOver.SampleRate, 999999u);
  EXPECT_EQ(Controls().rate.Value(), Controls().rate.Upper());
}

TEST_F(DialogTest, PriceIsKeptWithinZeroToAThousand) {
  Open();
  Enter(SettingsControl::Price, "-5");
  EXPECT_EQ(Controls().price.text, "0.00");
  Enter(SettingsControl::Price, "1234");
  EXPECT_EQ(Controls().price.text, "1000.00");
  Enter(SettingsControl::Price, "7");
  EXPECT_EQ(Controls().price.text, "7.00");
  Enter(SettingsControl::Price, "nan");
  EXPECT_EQ(Controls().price.text, "0.00");
  Enter(SettingsControl::Price, " 45,5");  // atof in the C locale, whatever the process's locale
  EXPECT_EQ(Controls().price.text, "45.00");

  // Enter saves without leaving the edit: the price is clamped all the same.
  Enter(SettingsControl::Price, "1234", false);
  dialog->Save();
  EXPECT_EQ(settings.Get().Params.FuelPrice, 1000.0f);
  Enter(SettingsControl::Price, "45.5", false);
  dialog->Save();
  EXPECT_EQ(settings.Get().Params.FuelPrice, 45.5f);
}

TEST_F(DialogTest, ResetChangesOnlyTheWorkingCopyUntilSaved) {
  Settings stored;
  stored.Port = "/dev/ttyS0";
  stored.WavOver = "/sounds/over.wav";
  stored.Params.FuelPrice = 60;
  stored.Params.LevelMin.ToneHz = 500;
  ASSERT_EQ(stored.Save(store), StoreResult::Ok);
  store.ClearLog();

  Open(stored);
  dialog->SelectTab(1);
  dialog->Reset();
  EXPECT_EQ(Controls().tone.Text(), "440");
  EXPECT_EQ(Controls().ports.selected, 1);  // the default port, listed here
  EXPECT_TRUE(store.Log().empty());
  EXPECT_EQ(settings.Get(), stored);

  dialog->Save();
  Settings defaults;
  EXPECT_EQ(settings.Get(), defaults);
  Settings reloaded;
  reloaded.Port = "unset";
  ASSERT_EQ(reloaded.Load(store), StoreResult::Ok);
  EXPECT_EQ(reloaded, defaults);
  EXPECT_EQ(store.Find(kKey, "WavOver")->Data, std::vector<uint8_t>{0});

  // The default port is offered and saved even when it is not present.
  ports = {{"/dev/ttyACM0"}, {"/dev/ttyACM1"}};
  Open(stored);
  dialog->Reset();
  EXPECT_EQ(Controls().ports.items.size(), 4u);
  dialog->Save();
  EXPECT_EQ(settings.Get().Port, DefaultSerialPort());
}

TEST_F(DialogTest, SaveTakesEveryControl) {
  Open();
  dialog->Select(SettingsControl::PortList, 2);
  dialog->Select(SettingsControl::BaudList, 2);
  dialog->Select(SettingsControl::BaudList, 7);  // no such entry
  dialog->Toggled(SettingsControl::Rts, false);
  dialog->Toggled(SettingsControl::Dtr, false);
  dialog->SelectTab(3);
  dialog->RadioClicked(SettingsControl::WavRadio);
  Enter(SettingsControl::PathEdit, "/typed/but/not/left.wav", false);
  dialog->Save();
  const Settings saved = settings.Get();
  EXPECT_EQ(saved.Port, "/dev/ttyUSB1");
  EXPECT_EQ(saved.Params.BaudRate, 57600);
  EXPECT_FALSE(saved.Params.RtsPulse);
  EXPECT_FALSE(saved.Params.DtrOn);
  EXPECT_FALSE(saved.Params.LevelOver.UseTone);
  EXPECT_EQ(saved.WavOver, "/typed/but/not/left.wav");
  EXPECT_TRUE(host.warnings.empty());  // Save does not try the file
}

TEST_F(DialogTest, WavFileIsTriedWhenTakenAndWarnsWhenItCannotBeUsed) {
  testing::TempFile wav("dialog.wav", testing::SimpleWav(1, 16000, 16, 64));
  testing::TempFile text("dialog.txt", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
  Open();
  dialog->SelectTab(1);
  dialog->RadioClicked(SettingsControl::WavRadio);
  dialog->TakeBrowsedFile(wav.path());
  EXPECT_TRUE(host.warnings.empty());
  EXPECT_EQ(dialog->WorkingCopy().WavMin, wav.path());
  EXPECT_EQ(Working().LevelMin.SampleRate, 16000u);
  EXPECT_EQ(Working().LevelMax.SampleRate, 16000u);
  EXPECT_EQ(Controls().rate.Text(), "16000");

  // A path typed and left is tried once; leaving it again unchanged tries nothing.
  Enter(SettingsControl::PathEdit, text.path());
  EXPECT_THAT(host.warnings,
              ElementsAre("Не обнаружен подходящий аудио-формат у файла\n" + text.path()));
  EXPECT_EQ(host.pathFocused, 1);
  EXPECT_EQ(dialog->WorkingCopy().WavMin, text.path());  // kept, though unusable
  EXPECT_EQ(Working().LevelMin.SampleRate, 0u);
  EXPECT_EQ(Controls().rate.Text(), "0");
  dialog->FocusEntered(SettingsControl::PathEdit);
  dialog->FocusLeft(SettingsControl::PathEdit);
  EXPECT_EQ(host.warnings.size(), 1u);

  // The Max tab shares the Min path and cannot take one.
  dialog->SelectTab(2);
  EXPECT_EQ(Controls().path.text, text.path());
  dialog->TakeBrowsedFile(wav.path());
  EXPECT_EQ(dialog->WorkingCopy().WavMin, text.path());
}

TEST_F(DialogTest, SettingsThatCannotBeStoredAreSaidAndStayInUse) {
  Open();
  store.FailCommit(kKey);
  Enter(SettingsControl::Price, "41");
  dialog->Save();
  EXPECT_EQ(host.warnings, std::vector<std::string>{SettingsDialog::kNotSavedText});
  EXPECT_EQ(settings.Get().Params.FuelPrice, 41.0f);

  // A stored port that cannot be read is never replaced by the default one.
  Settings stored;
  stored.Port = "/dev/ttyUSB3";
  MemoryUserStore failing;
  ASSERT_EQ(stored.Save(failing), StoreResult::Ok);
  failing.FailQuery("Port");
  host.warnings.clear();
  Open(stored, &failing);
  Enter(SettingsControl::Price, "42");
  dialog->Save();
  EXPECT_EQ(host.warnings, std::vector<std::string>{SettingsDialog::kNotSavedText});
  const StoreValue* port = failing.Find(kKey, "Port");
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(std::string(port->Data.begin(), port->Data.end() - 1), "/dev/ttyUSB3");
}

}  // namespace
}  // namespace drunvale
