// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>

#include "dialogs/main_dialog_template.h"
#include "qt/consumption_indicator.h"
#include "qt/dialog_font.h"

namespace drunvale {
namespace {

struct Ink {
  QRect bounds;  // pixels that are neither the background nor the text colour's blend
  int textColoured = 0;
  int other = 0;
};

// Scans the client area: each pixel is grey, the text colour, or an antialiased blend.
Ink ScanClient(const QImage& image, const QRect& client, QColor text) {
  Ink ink;
  const QColor grey = ConsumptionIndicator::Background();
  for (int y = client.top(); y <= client.bottom(); ++y) {
    for (int x = client.left(); x <= client.right(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (c == grey) continue;
      ink.bounds |= QRect(x, y, 1, 1);
      if (c == text) {
        ++ink.textColoured;
      } else if (c.red() < 128 || c.green() < 128 || c.blue() < 128) {
        ++ink.other;  // darker than the background: neither fill nor digit
      }
    }
  }
  return ink;
}

class IndicatorTest : public ::testing::Test {
 protected:
  IndicatorTest() {
    // The indicator's size in the main window, in the window's dialog units.
    const auto& dialog = MainDialogTemplate();
    const DialogUnits units(MeasureDialogFont(StandInFont(dialog.font, 96)));
    indicator.resize(ToQRect(units.ToPixels(dialog[MainControl::Indicator].rect)).size());
    indicator.SetSource([this] { return text; },
                        [this] { return IndicatorTextColour(perHour, false); });
  }
  ConsumptionIndicator indicator;
  std::string text = "0.0";
  bool perHour = true;
};

TEST_F(IndicatorTest, FontIsBoldWithCharactersOf136Pixels) {
  QFontInfo info(ConsumptionIndicator::DigitFont());
  EXPECT_EQ(info.family(), "Liberation Sans");
  EXPECT_TRUE(info.bold());
  EXPECT_EQ(info.pixelSize(), 136);
  EXPECT_TRUE(indicator.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST_F(IndicatorTest, DigitsSitTwoPixelsFromTheRightOfAGreyClientArea) {
  for (bool unit : {true, false}) {
    perHour = unit;
    QImage image = indicator.grab().toImage();
    QRect client = indicator.ClientRect();
    QColor colour = unit ? QColor(255, 255, 255) : QColor(255, 255, 128);
    Ink ink = ScanClient(image, client, colour);
    ASSERT_GT(ink.textColoured, 500) << unit;
    EXPECT_EQ(ink.other, 0) << unit;
    // The frame edges are drawn outside the client area, not in grey.
    EXPECT_NE(image.pixelColor(0, 0), ConsumptionIndicator::Background());

    // Where the text cell says the ink should be: cell top 22 px above the client area,
    // advance ending 2 px before its right edge.
    QFontMetrics metrics(ConsumptionIndicator::DigitFont());
    QString shown = QString::fromStdString(text);
    QRect glyphs = metrics.tightBoundingRect(shown);
    int originX = client.right() + 1 - 2 - metrics.horizontalAdvance(shown);
    int baseline = client.top() - 22 + metrics.ascent();
    EXPECT_NEAR(ink.bounds.right(), originX + glyphs.right(), 2) << unit;
    EXPECT_NEAR(ink.bounds.left(), originX + glyphs.left(), 2) << unit;
    EXPECT_NEAR(ink.bounds.top(), baseline + glyphs.top(), 2) << unit;
    EXPECT_LE(ink.bounds.right(), client.right() - 2);
  }
}

TEST_F(IndicatorTest, EmptyTextLeavesAPlainGreyField) {
  text.clear();
  QImage image = indicator.grab().toImage();
  Ink ink = ScanClient(image, indicator.ClientRect(), Qt::white);
  EXPECT_TRUE(ink.bounds.isNull());
}

}  // namespace
}  // namespace drunvale
