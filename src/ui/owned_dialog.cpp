// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/owned_dialog.h"

#include "ui/enter_key.h"
#include "ui/window_placement.h"

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
