// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_commands.h"

namespace drunvale {

bool PressMainButton(MainControl control, bool beepTicked, MainCommands& commands,
                     MainWindowOpener& windows) {
  switch (control) {
    case MainControl::Start:
      commands.Start(beepTicked);
      return true;
    case MainControl::Stop:
      commands.Stop();
      return true;
    case MainControl::Reset:
      commands.Reset();
      return true;
    case MainControl::Beep:
      commands.SetBeep(beepTicked);
      return true;
    case MainControl::Units:
      commands.ToggleUnits();
      return true;
    case MainControl::Settings:
      if (windows.RunSettingsDialog()) commands.ApplySavedSettings();
      return true;
    case MainControl::About:
      windows.OpenAbout();
      return true;
    default:
      return false;
  }
}

void ChooseMainMenuItem(MainMenuItem item, MainCommands& commands, MainWindowOpener& windows) {
  switch (item) {
    case MainMenuItem::Journal:
      windows.OpenJournal();
      break;
    case MainMenuItem::FillUp:
      windows.OpenFillUp();
      break;
    case MainMenuItem::EngineCodes:
      windows.OpenEngineCodes();
      break;
    case MainMenuItem::Dash:
      windows.ToggleDash();
      break;
    case MainMenuItem::ConnectAtStart:
    case MainMenuItem::StartWithSession:
      commands.SwitchMenuOption(item, !commands.MenuOptionOn(item));
      break;
    case MainMenuItem::OptionsSeparator:
      break;
  }
}

}  // namespace drunvale
