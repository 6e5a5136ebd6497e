// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "dialogs/settings_dialog_template.h"
#include "qt/dialog_widgets.h"
#include "settings_dialog/control_sync.h"
#include "settings_dialog/settings_dialog.h"

class QEvent;
class QKeyEvent;

namespace drunvale {

// The settings dialog's window, built from its template. It passes every user event to
// SettingsDialog and then shows the controls as the logic holds them. exec() gives kSaved or
// kCancelled.
class SettingsWindow : public QDialog, private SettingsDialogHost {
  Q_OBJECT

 public:
  static constexpr int kSaved = 1;
  static constexpr int kCancelled = 2;

  SettingsWindow(QWidget* parent, SharedSettings& settings, UserStore& store,
                 SettingsDialogOptions options = {});
  ~SettingsWindow() override;

  SettingsDialog& Logic() { return logic_; }
  QWidget* Control(SettingsControl control) const { return controls_[control]; }
  const DialogUnits& Units() const { return controls_.Units(); }

 public slots:
  // Esc, the close box and "Отмена".
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Prepare();
  void Connect();
  // Runs an event through the logic, then shows the result. An event that arrives while the
  // window is being brought up to date (a focus change, say) is handled, and the update redone.
  void Apply(const std::function<void()>& event);
  void Sync();
  void Browse();
  void SaveAndClose();

  void ShowWarning(const std::string& text) override;
  void FocusPathEdit() override;

  SettingsDialog logic_;
  DialogWidgetsOf<SettingsControl> controls_;
  std::map<const QObject*, SettingsControl> controlOf_;
  std::map<SettingsControl, SettingsControl> upDownOfBuddy_;
  ControlSync sync_;
};

}  // namespace drunvale
