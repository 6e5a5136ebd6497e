// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace drunvale {

// A dialog opened from another window: it shows over its owner the first time, and Enter
// presses the button that has the focus, as in the program's other windows.
class OwnedDialog : public QDialog {
 public:
  using QDialog::QDialog;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool placed_ = false;
};

}  // namespace drunvale
