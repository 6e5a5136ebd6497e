// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "qt/main_window.h"

class QWidget;

namespace drunvale {

class AppCore;
class MainController;
struct CommandLine;

// Runs the settings dialog over `parent`; true when the user saved new settings.
using SettingsDialogRunner = std::function<bool(QWidget* parent)>;

// The window's actions as calls into the controller. Without a settings dialog the
// "Настройка" button does nothing.
MainWindowActions ControllerActions(MainController& controller,
                                    SettingsDialogRunner runSettingsDialog);

// Brings the window up as the command line asks: the stored settings with this run's port in
// use (when not empty), "Пикать" ticked for --beep, and for --demo, --connect or the stored
// "connect at start" the link started at once, as if "Старт" had been pressed, so the simulated
// drive shows without a click and a car PC needs no hand.
void ShowMainWindow(MainWindow& window, MainController& controller, AppCore& app,
                    const CommandLine& options, const std::string& portForThisRun);

// Ends the program's window as its close box would, closing whatever modal window is open over
// it first: the user or the system asked the program to end.
void CloseOnRequest(MainWindow& window);

}  // namespace drunvale
