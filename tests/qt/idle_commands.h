// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_commands.h"
#include "app/main_view.h"

namespace drunvale {

// The main window's commands and windows doing nothing, for a test to override what it watches.
struct IdleCommands : MainCommands, MainWindowOpener {
  void Start(bool) override {}
  void Stop() override {}
  void Reset() override {}
  void OnRefreshTimer() override {}
  void SetBeep(bool) override {}
  void SetVolumeSliderPosition(int) override {}
  void ToggleUnits() override {}
  void ApplySavedSettings() override {}
  int Close() override { return kMainWindowClosed; }
  bool MenuOptionOn(MainMenuItem) const override { return false; }
  void SwitchMenuOption(MainMenuItem, bool) override {}
  bool RunSettingsDialog() override { return false; }
  void OpenAbout() override {}
  void OpenJournal() override {}
  void OpenFillUp() override {}
  void OpenEngineCodes() override {}
  void ToggleDash() override {}
};

}  // namespace drunvale
