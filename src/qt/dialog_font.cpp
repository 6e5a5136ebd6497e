// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dialog_font.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <cmath>

namespace drunvale {

QFont StandInFont(const DialogFont& font, int logicalDpiY) {
  QFont standIn;
  standIn.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  standIn.setStyleHint(QFont::SansSerif);
  standIn.setWeight(QFont::Normal);
  standIn.setPixelSize(DialogFontPixels(font.points, logicalDpiY));
  return standIn;
}

int LineHeight(const QFont& font) {
  const QFontMetricsF metrics(font);
  return static_cast<int>(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()));
}

DialogFontMetrics MeasureDialogFont(const QFont& font) {
  const QFontMetrics metrics(font);
  return DialogFontMetrics{metrics.horizontalAdvance(QString::fromLatin1(kBaseUnitAlphabet)),
                           LineHeight(font)};
}

}  // namespace drunvale
