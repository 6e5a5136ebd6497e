// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace drunvale {

class SharedSettings;
class UserStore;

// Runs the settings dialog modally, owned by parent (or the active window when parent is
// null). Returns 1 after "Сохранить": the new settings are in `settings` and in the store, and
// the caller applies them to the link and the sound. Returns 2 when the dialog was cancelled
// (button, Esc or close box); nothing changed then.
int RunSettingsDialog(QWidget* parent, SharedSettings& settings, UserStore& store);

}  // namespace drunvale
