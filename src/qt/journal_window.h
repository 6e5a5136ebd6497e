// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "dialogs/journal_window_template.h"
#include "journal_dialogs/journal_window.h"
#include "qt/dialog_widgets.h"
#include "qt/owned_dialog.h"

namespace drunvale {

// "Журнал поездок": the trips, newest first, the totals for today, this tank and all, the
// switch that keeps the journal, and the folder and the file opened for the user.
class JournalWindow : public OwnedDialog {
  Q_OBJECT

 public:
  JournalWindow(QWidget* parent, JournalWindowSource source);

  QWidget* Control(JournalControl control) const { return controls_[control]; }
  template <class T>
  T* Control(JournalControl control) const {
    return controls_.Get<T>(control);
  }
  // Reads the file again and shows it.
  void Refresh();

 private:
  void Open(const std::string& path);
  void SetStatus(const std::string& text);

  JournalWindowSource source_;
  DialogWidgetsOf<JournalControl> controls_;
};

// Opens the path with the desktop's own program for it.
bool OpenWithDesktop(const std::string& path);

}  // namespace drunvale
