#include "ui/settings_dialog/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace drunvale {
namespace {

// Windows' MulDiv for the positive values used here: rounded to the nearest.
int MulDiv(int value, int numerator, int denominator) {
  return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // As GdiGetCharDimensions: the mean width over the 52 letters, rounded.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  averageWidth_ = (letters / 26 + 1) / 2;
  height_ = metrics.height();
}

int DialogUnits::X(int units) const {
  return MulDiv(units, averageWidth_, 4);
}

int DialogUnits::Y(int units) const {
  return MulDiv(units, height_, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

}  // namespace drunvale
