// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "app/main_commands.h"
#include "qt/main_window.h"

class QWidget;

namespace drunvale {

class MainController;

// Runs the settings dialog over `parent`; true when the user saved new settings.
using SettingsDialogRunner = std::function<bool(QWidget* parent)>;

// The main window bound to the controller: its commands go to the controller, its windows open
// over it with the controller's data, and it shows the controller's indicator and dash.
// Without a settings dialog "Настройка" does nothing.
class MainWindowBinding final : public MainWindowOpener {
 public:
  MainWindowBinding(MainWindow& window, MainController& controller,
                    SettingsDialogRunner runSettingsDialog);

  bool RunSettingsDialog() override;
  void OpenAbout() override;
  void OpenJournal() override;
  void OpenFillUp() override;
  void OpenEngineCodes() override;
  void ToggleDash() override;

 private:
  MainWindow& window_;
  MainController& controller_;
  SettingsDialogRunner runSettingsDialog_;
};

// Ends the program's window as its close box would, closing whatever modal window is open over
// it first: the user or the system asked the program to end.
void CloseOnRequest(MainWindow& window);

}  // namespace drunvale
