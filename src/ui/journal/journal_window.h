// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "dialogs/journal_window_template.h"
#include "journal/journal_summary.h"
#include "ui/dialog_widgets.h"
#include "ui/owned_dialog.h"

namespace drunvale {

// What the journal window reads and changes, filled by whoever keeps the journal.
struct JournalWindowSource {
  // trips.csv as it is now; problem says why it could not be read ("" when it could).
  std::function<JournalContents(std::string& problem)> read;
  std::function<bool()> journalOn;
  // False when the switch could not be stored (it still holds for this run).
  std::function<bool(bool on)> setJournalOn;
  std::string folder;
  std::string file;
  // Opens a folder or a file as the desktop would; false when nothing could open it.
  std::function<bool(const std::string& path)> open;
};

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
