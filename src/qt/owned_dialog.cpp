// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/owned_dialog.h"

#include "qt/enter_key.h"
#include "qt/window_placement.h"

namespace drunvale {

void OwnedDialog::keyPressEvent(QKeyEvent* event) {
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}

void OwnedDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!placed_) {
    placed_ = true;
    CentreOverOwner(this, parentWidget());
  }
}

}  // namespace drunvale
