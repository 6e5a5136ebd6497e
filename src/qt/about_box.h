// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "dialogs/about_box_template.h"
#include "qt/dialog_widgets.h"

namespace drunvale {

// "О Drunvale": the icon, the version line and the warranty disclaimer. OK, Esc and the close
// box all end it with the result 1.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kClosedResult = 1;

  explicit AboutBox(QWidget* parent = nullptr);

  QWidget* Control(AboutControl control) const { return controls_[control]; }

 public slots:
  void reject() override { done(kClosedResult); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DialogWidgetsOf<AboutControl> controls_;
  bool placed_ = false;
};

}  // namespace drunvale
