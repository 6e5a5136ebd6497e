// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace drunvale {

QRect CentredInWorkArea(const QRect& window, const std::optional<QRect>& anchor,
                        const QRect& workArea) {
  QRect centreOn = anchor.value_or(workArea);
  QRect placed = window;
  placed.moveCenter(centreOn.center());
  // The top-left corner wins when the window is larger than the work area.
  if (placed.right() > workArea.right()) placed.moveRight(workArea.right());
  if (placed.bottom() > workArea.bottom()) placed.moveBottom(workArea.bottom());
  if (placed.left() < workArea.left()) placed.moveLeft(workArea.left());
  if (placed.top() < workArea.top()) placed.moveTop(workArea.top());
  return placed;
}

void CentreOverOwner(QWidget* window, const QWidget* owner) {
  std::optional<QRect> anchor;
  QScreen* screen = nullptr;
  if (owner && owner->isVisible() && !owner->isMinimized()) {
    anchor = owner->frameGeometry();
    screen = owner->screen();
  }
  if (!screen) screen = window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window->frameGeometry();
  QRect placed = CentredInWorkArea(frame, anchor, screen->availableGeometry());
  window->move(placed.topLeft());
}

}  // namespace drunvale
