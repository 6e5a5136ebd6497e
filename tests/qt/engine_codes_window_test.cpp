// SPDX-License-Identifier: GPL-3.0-or-later
// The engine codes window over its logic: the list filled from the answer, every text fitting,
// and a clear only after the driver said yes.
#include "qt/engine_codes_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/codes_command.h"
#include "qt/texts_fit.h"

namespace drunvale {
namespace {

// Answers the next question box with the button named `answer` once it is up.
void Answer(const QString& answer) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == answer) button->click();
    }
  });
  timer->start(5);
}

TEST(EngineCodesWindow, ShowsTheCodesAndClearsOnlyAfterYes) {
  bool running = false;
  std::vector<CodesMailbox::Ask> asked;
  std::optional<CodesReport> report;
  EngineCodesSource source{[&](CodesMailbox::Ask ask) { asked.push_back(ask); },
                           [&] { return std::exchange(report, std::nullopt); },
                           [&] { return running; }};
  {
    EngineCodesWindow stopped(nullptr, source);
    ExpectTextsFit(stopped);
  }
  running = true;
  EngineCodesWindow window(nullptr, source);
  auto* clear = window.Control<QPushButton>(EngineCodesControl::Clear);
  EXPECT_FALSE(clear->isEnabled());

  report = CodesReport{};
  report->codes = {{0x0130}, {0x0301}, {0x0171, true}};
  report->lampOn = true;
  report->lampCount = 2;
  window.Tick();
  auto* list = window.Control<QTreeWidget>(EngineCodesControl::List);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(1)->text(1), "зажигание и пропуски воспламенения");
  EXPECT_EQ(list->topLevelItem(2)->text(2), "ожидает подтверждения");
  ExpectTextsFit(window);
  ASSERT_TRUE(clear->isEnabled());

  Answer(QString::fromUtf8(kClearCodesNo.data(), kClearCodesNo.size()));
  clear->click();
  EXPECT_EQ(asked, std::vector<CodesMailbox::Ask>{CodesMailbox::Ask::Read});
  Answer(QString::fromUtf8(kClearCodesYes.data(), kClearCodesYes.size()));
  clear->click();
  EXPECT_EQ(asked.back(), CodesMailbox::Ask::Clear);

  // An answer that never comes: the waiting is said, and it fits.
  for (int tick = 0; tick < EngineCodesDialog::kTicksPerSecond * kCodesWait.count(); ++tick)
    window.Tick();
  EXPECT_NE(window.Logic().Texts().status.find("60 с"), std::string::npos);
  ExpectTextsFit(window);
}

}  // namespace
}  // namespace drunvale
