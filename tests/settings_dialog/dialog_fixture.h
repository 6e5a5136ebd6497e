// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_user_store.h"
#include "settings_dialog/settings_dialog.h"
#include "sound/testing/recording_audio.h"

namespace drunvale::testing {

// The dialog's logic on a memory store, the recording audio back end and a fixed port list.
class DialogTest : public ::testing::Test {
 protected:
  struct Host : SettingsDialogHost {
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    void FocusPathEdit() override { ++pathFocused; }
    std::vector<std::string> warnings;
    int pathFocused = 0;
  };

  // The dialog over settings the program loaded from `store`, which holds them too; or, given
  // another store, over settings that store need not hold.
  void Open(const Settings& loaded = Settings(), UserStore* other = nullptr) {
    settings.Set(loaded);
    if (!other) {
      EXPECT_EQ(loaded.Save(store), StoreResult::Ok);
      store.ClearLog();
    }
    SettingsDialogOptions options;
    options.listPorts = [this] { return ports; };
    options.clock = &clock;
    options.audio = &audio;
    dialog = std::make_unique<SettingsDialog>(settings, other ? *other : store, host, options);
    dialog->Initialise();
  }

  // Typing into an edit, as the window reports it: focus in, the new text, focus out.
  void Enter(SettingsControl edit, const std::string& text, bool leave = true) {
    dialog->FocusEntered(edit);
    dialog->TextChanged(edit, text);
    if (leave) dialog->FocusLeft(edit);
  }

  const SettingsDialogControls& Controls() const { return dialog->Controls(); }
  const Parameters& Working() const { return dialog->WorkingCopy().Params; }

  // The middle one is the default port of the platform.
  std::vector<SerialPortName> ports = {{"/dev/ttyS0"}, {DefaultSerialPort()}, {"/dev/ttyUSB1"}};
  SharedSettings settings;
  MemoryUserStore store;
  Host host;
  ManualHighResClock clock;
  RecordingAudio audio{&clock};
  std::unique_ptr<SettingsDialog> dialog;
};

}  // namespace drunvale::testing
