#pragma once

#include <functional>

#include "ui/main_window.h"

class QWidget;

namespace drunvale {

class MainController;

// Runs the settings dialog over `parent`; true when the user saved new settings.
using SettingsDialogRunner = std::function<bool(QWidget* parent)>;

// The window's actions as calls into the controller. Without a settings dialog the
// "Настройка" button does nothing.
MainWindowActions ControllerActions(MainController& controller,
                                    SettingsDialogRunner runSettingsDialog);

}  // namespace drunvale
