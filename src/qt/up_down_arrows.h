// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

namespace drunvale {

// The arrow pair of an up-down control. Like its Windows model it never takes the focus, so
// the buddy edit keeps it while the arrows are pressed; holding an arrow repeats it.
class UpDownArrows : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownArrows(QWidget* parent = nullptr);

  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }

 signals:
  // +1 for up, -1 for down.
  void Stepped(int direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace drunvale
