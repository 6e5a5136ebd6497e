// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/about_box.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "qt/app_icon.h"
#include "qt/window_placement.h"

namespace drunvale {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, WindowFlagsOf(AboutBoxTemplate().frame)),
      controls_(*this, AboutBoxTemplate()) {
  setWindowIcon(AppIcon());
  auto* ok = controls_.Get<QPushButton>(AboutControl::Ok);
  connect(ok, &QPushButton::clicked, this, [this] { done(kClosedResult); });
  controls_.Get<QPlainTextEdit>(AboutControl::Disclaimer)
      ->setPlainText(QString::fromUtf8(kAboutDisclaimer));
  ok->setFocus();
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!placed_) {
    placed_ = true;
    CentreOverOwner(this, parentWidget());
  }
}

}  // namespace drunvale
