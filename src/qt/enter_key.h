// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace drunvale {

// The windows have no default button: Enter presses the push button that has the focus, as
// in a Windows dialog, and nothing else, so Enter in a field or on a check box neither starts
// the link nor saves. True when the key was Enter, which is then used up.
inline bool PressFocusedButtonOnEnter(QWidget& window, const QKeyEvent& event) {
  if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) return false;
  auto* button = qobject_cast<QPushButton*>(window.focusWidget());
  if (button && button->window() == &window && button->isEnabled() && !button->isCheckable()) {
    button->click();
  }
  return true;
}

}  // namespace drunvale
