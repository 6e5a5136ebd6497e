// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/journal_window.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include "qt/static_text.h"

namespace drunvale {
namespace {

bool RightAligned(size_t column) {
  return JournalColumnRightAligned(column, kJournalColumns.size());
}

}  // namespace

bool OpenWithDesktop(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

JournalWindow::JournalWindow(QWidget* parent, JournalWindowSource source)
    : OwnedDialog(parent, WindowFlagsOf(JournalWindowTemplate().frame)),
      source_(std::move(source)),
      controls_(*this, JournalWindowTemplate()) {
  auto* list = Control<QTreeWidget>(JournalControl::List);
  for (size_t column = 0; column < kJournalColumns.size(); ++column) {
    if (RightAligned(column)) {
      list->headerItem()->setTextAlignment(static_cast<int>(column), Qt::AlignRight);
    }
  }
  auto* keep = Control<QCheckBox>(JournalControl::KeepJournal);
  connect(keep, &QCheckBox::clicked, this, [this](bool on) {
    if (source_.setJournalOn && !source_.setJournalOn(on)) {
      SetStatus(std::string(kJournalSwitchNotStored));
      return;
    }
    Refresh();
  });
  connect(Control<QPushButton>(JournalControl::OpenFolder), &QPushButton::clicked, this,
          [this] { Open(source_.folder); });
  connect(Control<QPushButton>(JournalControl::OpenFile), &QPushButton::clicked, this,
          [this] { Open(source_.file); });
  connect(Control<QPushButton>(JournalControl::Close), &QPushButton::clicked, this,
          &QDialog::reject);
  Refresh();
}

void JournalWindow::Refresh() {
  std::string problem;
  const JournalContents journal = source_.read ? source_.read(problem) : JournalContents{};
  const bool on = source_.journalOn && source_.journalOn();
  const JournalWindowTexts texts = MakeJournalWindowTexts(journal, on, problem, source_.file);

  auto* list = Control<QTreeWidget>(JournalControl::List);
  list->clear();
  QList<QTreeWidgetItem*> items;
  for (const auto& row : texts.rows) {
    auto* item = new QTreeWidgetItem;
    for (size_t column = 0; column < row.size(); ++column) {
      item->setText(static_cast<int>(column), QString::fromStdString(row[column]));
      if (RightAligned(column)) item->setTextAlignment(static_cast<int>(column), Qt::AlignRight);
    }
    items << item;
  }
  list->addTopLevelItems(items);
  for (size_t column = 0; column < texts.totals.size(); ++column)
    Control<StaticText>(kJournalTotals[column])
        ->setText(QString::fromStdString(texts.totals[column]));
  SetStatus(texts.status);
  Control<QCheckBox>(JournalControl::KeepJournal)->setChecked(on);
  Control<QPushButton>(JournalControl::OpenFile)->setEnabled(texts.fileOpenable);
}

void JournalWindow::SetStatus(const std::string& text) {
  auto* status = Control<StaticText>(JournalControl::Status);
  // A long path keeps its end, where the file's name is; the tooltip holds it whole.
  const QString whole = QString::fromStdString(text);
  const QFontMetrics metrics(status->font());
  status->setText(metrics.elidedText(whole, Qt::ElideMiddle, status->contentsRect().width()));
  status->setToolTip(whole);
}

void JournalWindow::Open(const std::string& path) {
  if (path.empty() || !source_.open || !source_.open(path)) {
    SetStatus(OpenFailedText(path));
  }
}

}  // namespace drunvale
