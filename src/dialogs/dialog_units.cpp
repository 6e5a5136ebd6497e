// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_units.h"

namespace drunvale {

int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

int DialogFontPixels(int points, int dpi) {
  return MulDiv(points, dpi, 72);
}

DialogUnits::DialogUnits(const DialogFontMetrics& metrics)
    // The mean over 26 letter pairs, rounded as GdiGetCharDimensions rounds it.
    : baseX_((metrics.alphabetWidth / 26 + 1) / 2), baseY_(metrics.lineHeight) {}

int DialogUnits::X(int units) const {
  return MulDiv(units, baseX_, 4);
}

int DialogUnits::Y(int units) const {
  return MulDiv(units, baseY_, 8);
}

PixelRect DialogUnits::ToPixels(const DialogRect& rect) const {
  return PixelRect{X(rect.x), Y(rect.y), X(rect.width), Y(rect.height)};
}

}  // namespace drunvale
