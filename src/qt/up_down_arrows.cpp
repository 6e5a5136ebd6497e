// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/up_down_arrows.h"

#include <QToolButton>

namespace drunvale {
namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType type, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setArrowType(type);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent),
      up_(MakeArrow(this, Qt::UpArrow, "up")),
      down_(MakeArrow(this, Qt::DownArrow, "down")) {
  setFocusPolicy(Qt::NoFocus);
  connect(up_, &QToolButton::clicked, this, [this] { emit Stepped(+1); });
  connect(down_, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
}

void UpDownArrows::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

}  // namespace drunvale
