// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "dialogs/main_dialog_template.h"
#include "dialogs/main_menu.h"
#include "settings/settings.h"

namespace drunvale {

// The main window's commands, as every view gives them: the Qt window, the Win32 window and
// the console call the controller through this alone, and tests through a fake.
class MainCommands {
 public:
  virtual ~MainCommands() = default;
  virtual void Start(bool beep) = 0;
  virtual void Stop() = 0;
  virtual void Reset() = 0;
  // The view's 333 ms refresh timer went off.
  virtual void OnRefreshTimer() = 0;
  virtual void SetBeep(bool on) = 0;
  // The volume slider's position, 0 at the top (full volume) to 100 at the bottom.
  virtual void SetVolumeSliderPosition(int position) = 0;
  virtual void ToggleUnits() = 0;
  // The settings dialog stored new settings.
  virtual void ApplySavedSettings() = 0;
  // Stops sound and link; returns the window's result, kMainWindowClosed.
  virtual int Close() = 0;
  // The menu's options: whether one is on, and switching it.
  virtual bool MenuOptionOn(MainMenuItem item) const = 0;
  virtual void SwitchMenuOption(MainMenuItem item, bool on) = 0;
};

// The windows a view opens over its main window, for its buttons and its menu.
class MainWindowOpener {
 public:
  virtual ~MainWindowOpener() = default;
  // True when the user saved new settings.
  virtual bool RunSettingsDialog() = 0;
  virtual void OpenAbout() = 0;
  virtual void OpenJournal() = 0;
  virtual void OpenFillUp() = 0;
  virtual void OpenEngineCodes() = 0;
  // The full-screen dash, opened or closed again.
  virtual void ToggleDash() = 0;
};

// A button of the main window pressed, "Пикать" ticked as `beepTicked` (clicking that box is
// one of them). False for a control that is no button.
bool PressMainButton(MainControl control, bool beepTicked, MainCommands& commands,
                     MainWindowOpener& windows);

// An entry of the main window's menu chosen, by a click or its key: a window opened, or an
// option switched over.
void ChooseMainMenuItem(MainMenuItem item, MainCommands& commands, MainWindowOpener& windows);

// How this run begins, from the command line: the port used in place of the stored one ("" for
// the stored one), "Пикать" ticked, the link started at once, the dash opened at once.
struct RunStart {
  std::string port;
  bool beep = false;
  bool connect = false;
  bool dash = false;
  std::optional<AdapterKind> adapter;  // --adapter, for this run
};

}  // namespace drunvale
