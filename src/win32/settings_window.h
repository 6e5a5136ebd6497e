// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "dialogs/settings_dialog_template.h"
#include "settings_dialog/control_sync.h"
#include "settings_dialog/settings_dialog.h"

namespace drunvale::win32 {

// "Настройки Drunvale" as a native dialog over the dialog's logic: every user event goes to
// SettingsDialog, and the controls are then set as the logic holds them.
class SettingsWindow final : private SettingsDialogHost {
 public:
  static constexpr int kSaved = 1;
  static constexpr int kCancelled = 2;

  SettingsWindow(SharedSettings& settings, UserStore& store, SettingsDialogOptions options = {});

  // Runs modally over owner: kSaved or kCancelled.
  int Run(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Open();
  bool Command(int id, int code, HWND from);
  bool Notify(const NMHDR& header, LRESULT& result);
  // Runs an event through the logic, then shows the result. An event that arrives while the
  // controls are being set (a focus change, say) is handled, and the setting redone.
  void Apply(const std::function<void()>& event);
  void Sync();
  void Browse();
  void SaveAndClose();
  HWND Control(SettingsControl control) const;

  void ShowWarning(const std::string& text) override;
  void FocusPathEdit() override;

  SettingsDialog logic_;
  HWND dialog_ = nullptr;
  std::map<int, SettingsControl> controlOfId_;
  ControlSync sync_;
};

// Runs the settings dialog over owner; kSaved when the user saved.
int RunSettingsDialog(HWND owner, SharedSettings& settings, UserStore& store);

}  // namespace drunvale::win32
