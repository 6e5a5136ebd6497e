// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

#include "qt/static_text.h"

namespace drunvale {

// Every static text, check box, radio button and push button of a window shows its whole
// text: each line within the control's width, every line within its height.
inline void ExpectTextsFit(const QWidget& window) {
  for (const StaticText* text : window.findChildren<StaticText*>()) {
    const QRect area = text->contentsRect();
    const QFontMetrics metrics(text->font());
    const QStringList lines = text->text().split('\n');
    EXPECT_LE(lines.size() * text->LinePitch(), area.height()) << text->text().toStdString();
    for (const QString& line : lines) {
      EXPECT_LE(metrics.horizontalAdvance(line), area.width()) << line.toStdString();
    }
  }
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty()) continue;
    const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
    if (radio || qobject_cast<const QCheckBox*>(button)) {
      // The text goes beside the box or circle.
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect area = button->style()->subElementRect(
          radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, button);
      EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), area.width())
          << button->text().toStdString();
      EXPECT_LE(button->fontMetrics().height(), area.height()) << button->text().toStdString();
    } else {
      const QFontMetrics metrics(button->font());
      const QStringList lines = button->text().split('\n');
      EXPECT_LE(lines.size() * metrics.height(), button->height()) << button->text().toStdString();
      for (const QString& line : lines) {
        EXPECT_LT(metrics.horizontalAdvance(line), button->width()) << line.toStdString();
      }
    }
  }
}

}  // namespace drunvale
