#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <cmath>

namespace drunvale {
namespace {

// Windows' MulDiv: the product divided with rounding half away from zero.
int MulDiv(int value, int numerator, int denominator) {
  long long product = static_cast<long long>(value) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

DialogBaseUnits DialogBaseUnits::Of(const QFont& font) {
  QFontMetrics metrics(font);
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  // The same rounding as GdiGetCharDimensions, which dialog templates are measured with.
  int width = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
  return DialogBaseUnits{width, LineHeight(font)};
}

int LineHeight(const QFont& font) {
  QFontMetricsF metrics(font);
  return static_cast<int>(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()));
}

int DialogBaseUnits::ToPixelsX(int dialogUnits) const {
  return MulDiv(dialogUnits, x, 4);
}

int DialogBaseUnits::ToPixelsY(int dialogUnits) const {
  return MulDiv(dialogUnits, y, 8);
}

QRect DialogBaseUnits::ToPixels(int left, int top, int width, int height) const {
  return QRect(ToPixelsX(left), ToPixelsY(top), ToPixelsX(width), ToPixelsY(height));
}

QFont DialogFont(int logicalDpiY) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Normal);
  font.setPixelSize(MulDiv(8, logicalDpiY, 72));
  return font;
}

}  // namespace drunvale
