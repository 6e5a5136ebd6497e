// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "qt/about_box.h"
#include "qt/static_text.h"
#include "qt/window_placement.h"

namespace drunvale {
namespace {

// Runs the box modally and lets `act` close it from inside its event loop.
int RunAbout(const std::function<void(AboutBox&)>& act) {
  AboutBox about;
  QTimer::singleShot(0, &about, [&about, act] { act(about); });
  return about.exec();
}

TEST(AboutBoxTest, OkEscapeAndTheCloseBoxAllEndWithOne) {
  EXPECT_EQ(
      RunAbout([](AboutBox& d) { QTest::mouseClick(d.Control(AboutControl::Ok), Qt::LeftButton); }),
      1);
  EXPECT_EQ(RunAbout([](AboutBox&) {
              QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
            }),
            1);
  EXPECT_EQ(RunAbout([](AboutBox& d) { d.close(); }), 1);
}

TEST(AboutBoxTest, ShowsVersionAndAReadOnlySelectableDisclaimer) {
  AboutBox about;
  about.show();
  EXPECT_EQ(about.windowTitle(), "О Drunvale");
  EXPECT_EQ(qobject_cast<StaticText*>(about.Control(AboutControl::Version))->text(),
            "Drunvale - версия 1.1");
  EXPECT_TRUE(qobject_cast<QPushButton*>(about.Control(AboutControl::Ok))->isDefault());
  auto* text = qobject_cast<QPlainTextEdit*>(about.Control(AboutControl::Disclaimer));
  ASSERT_NE(text, nullptr);

  // Three paragraphs, one empty line between them, nothing after the last.
  QString disclaimer = text->toPlainText();
  EXPECT_EQ(disclaimer.split("\n\n").size(), 3);
  EXPECT_FALSE(disclaimer.contains("\n\n\n"));
  EXPECT_FALSE(disclaimer.endsWith('\n'));
  EXPECT_TRUE(disclaimer.startsWith("Используя"));

  text->setFocus();
  QTest::keyClicks(text, "xyz");
  QTest::keyClick(text, Qt::Key_Delete);
  EXPECT_EQ(text->toPlainText(), disclaimer);
  QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(text->textCursor().selectedText().size(), disclaimer.size());
  text->copy();
  EXPECT_EQ(QApplication::clipboard()->text(), disclaimer);
  EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
}

TEST(WindowPlacementTest, CentresOnTheAnchorAndKeepsInsideTheWorkArea) {
  const QRect work(0, 0, 1000, 700);
  EXPECT_EQ(CentredInWorkArea(QRect(0, 0, 200, 100), QRect(100, 100, 400, 300), work),
            QRect(200, 200, 200, 100));
  EXPECT_EQ(CentredInWorkArea(QRect(0, 0, 200, 100), std::nullopt, work),
            QRect(400, 300, 200, 100));
  // Near the edges: moved back inside.
  EXPECT_EQ(CentredInWorkArea(QRect(0, 0, 200, 100), QRect(-50, -50, 100, 100), work),
            QRect(0, 0, 200, 100));
  EXPECT_EQ(CentredInWorkArea(QRect(0, 0, 200, 100), QRect(950, 650, 100, 100), work),
            QRect(800, 600, 200, 100));
  // Larger than the work area: its top-left corner stays visible.
  EXPECT_EQ(CentredInWorkArea(QRect(0, 0, 1200, 900), std::nullopt, work).topLeft(), QPoint(0, 0));
}

}  // namespace
}  // namespace drunvale
