// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/engine_codes_window.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "app/codes_texts.h"
#include "qt/static_text.h"

namespace drunvale {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

EngineCodesWindow::EngineCodesWindow(QWidget* parent, EngineCodesSource source)
    : OwnedDialog(parent, WindowFlagsOf(EngineCodesWindowTemplate().frame)),
      logic_(std::move(source)),
      controls_(*this, EngineCodesWindowTemplate()) {
  connect(Control<QPushButton>(EngineCodesControl::Read), &QPushButton::clicked, this, [this] {
    logic_.Read();
    Show();
  });
  connect(Control<QPushButton>(EngineCodesControl::Clear), &QPushButton::clicked, this,
          &EngineCodesWindow::AskAndClear);
  connect(Control<QPushButton>(EngineCodesControl::Close), &QPushButton::clicked, this,
          &QDialog::reject);
  connect(&timer_, &QTimer::timeout, this, &EngineCodesWindow::Tick);
  timer_.start(1000 / EngineCodesDialog::kTicksPerSecond);
  Show();
}

void EngineCodesWindow::Tick() {
  if (logic_.Tick()) Show();
}

void EngineCodesWindow::AskAndClear() {
  QMessageBox box(QMessageBox::Warning, windowTitle(), Text(kClearCodesWarning),
                  QMessageBox::NoButton, this);
  QPushButton* yes = box.addButton(Text(kClearCodesYes), QMessageBox::AcceptRole);
  box.setDefaultButton(box.addButton(Text(kClearCodesNo), QMessageBox::RejectRole));
  box.exec();
  if (box.clickedButton() != yes) return;
  logic_.Clear();
  Show();
}

void EngineCodesWindow::Show() {
  const EngineCodesTexts& texts = logic_.Texts();
  Control<StaticText>(EngineCodesControl::Lamp)->setText(QString::fromStdString(texts.lamp));
  auto* list = Control<QTreeWidget>(EngineCodesControl::List);
  list->clear();
  QList<QTreeWidgetItem*> items;
  for (const auto& row : texts.rows) {
    auto* item = new QTreeWidgetItem;
    for (size_t column = 0; column < row.size(); ++column)
      item->setText(static_cast<int>(column), QString::fromStdString(row[column]));
    items << item;
  }
  list->addTopLevelItems(items);
  Control<StaticText>(EngineCodesControl::Status)->setText(QString::fromStdString(texts.status));
  Control<QPushButton>(EngineCodesControl::Read)->setEnabled(texts.readEnabled);
  Control<QPushButton>(EngineCodesControl::Clear)->setEnabled(texts.clearEnabled);
}

}  // namespace drunvale
