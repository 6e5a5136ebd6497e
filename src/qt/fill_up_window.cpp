// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/fill_up_window.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "qt/static_text.h"

namespace drunvale {

FillUpWindow::FillUpWindow(QWidget* parent, const TankState& tank, uint32_t factor, Recorder record)
    : OwnedDialog(parent, WindowFlagsOf(FillUpDialogTemplate().frame)),
      logic_(tank, factor),
      record_(std::move(record)),
      controls_(*this, FillUpDialogTemplate()) {
  auto* pumped = qobject_cast<QLineEdit*>(Control(FillUpControl::Pumped));
  connect(pumped, &QLineEdit::textEdited, this, [this](const QString& text) {
    logic_.TextChanged(text.toStdString());
    Show();
  });
  auto* notFull = qobject_cast<QCheckBox*>(Control(FillUpControl::NotFull));
  connect(notFull, &QCheckBox::clicked, this, [this](bool on) {
    logic_.Toggled(on);
    Show();
  });
  connect(qobject_cast<QPushButton*>(Control(FillUpControl::Record)), &QPushButton::clicked, this,
          &FillUpWindow::Record);
  connect(qobject_cast<QPushButton*>(Control(FillUpControl::Cancel)), &QPushButton::clicked, this,
          &FillUpWindow::reject);
  Show();
  pumped->setFocus();
}

void FillUpWindow::Show() {
  const FillUpDialogControls& shown = logic_.Controls();
  qobject_cast<StaticText*>(Control(FillUpControl::Counted))
      ->setText(QString::fromStdString(shown.counted));
  qobject_cast<StaticText*>(Control(FillUpControl::Factor))
      ->setText(QString::fromStdString(shown.factor));
  qobject_cast<StaticText*>(Control(FillUpControl::Message))
      ->setText(QString::fromStdString(shown.message));
  auto* notFull = qobject_cast<QCheckBox*>(Control(FillUpControl::NotFull));
  notFull->setEnabled(shown.notFullEnabled);
  notFull->setChecked(shown.notFull);
  Control(FillUpControl::Record)->setEnabled(shown.recordEnabled);
}

void FillUpWindow::Record() {
  if (!logic_.Proposal().Recordable()) return;
  const std::string problem = record_ ? record_(logic_.Proposal()) : std::string();
  if (!problem.empty()) {
    QMessageBox::warning(this, QStringLiteral("Drunvale"), QString::fromStdString(problem));
  }
  done(kRecorded);
}

}  // namespace drunvale
