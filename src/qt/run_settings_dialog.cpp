// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/run_settings_dialog.h"

#include <QApplication>

#include "qt/settings_window.h"

namespace drunvale {

int RunSettingsDialog(QWidget* parent, SharedSettings& settings, UserStore& store) {
  SettingsWindow window(parent ? parent : QApplication::activeWindow(), settings, store);
  return window.exec() == SettingsWindow::kSaved ? SettingsWindow::kSaved
                                                 : SettingsWindow::kCancelled;
}

}  // namespace drunvale
