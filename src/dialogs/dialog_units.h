// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "dialogs/dialog_template.h"

namespace drunvale {

// A rectangle in pixels of a dialog's client area.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  constexpr bool operator==(const PixelRect&) const = default;
};

// The letters whose mean width is the horizontal base unit.
inline constexpr std::string_view kBaseUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// What a view measures of the font it draws a dialog in.
struct DialogFontMetrics {
  int alphabetWidth = 0;  // the advance of kBaseUnitAlphabet, in pixels
  int lineHeight = 0;     // ascent plus descent, each rounded up to whole pixels
};

// Windows' MulDiv: the product divided, rounded half away from zero.
int MulDiv(int value, int numerator, int denominator);

// The character height a view asks of a dialog font of `points` on a screen of `dpi` dots per
// inch vertically, as Windows sizes a dialog font.
int DialogFontPixels(int points, int dpi);

// Dialog units in pixels, as Windows converts them for a dialog's font: a horizontal unit is a
// quarter of the font's mean character width, a vertical one an eighth of its line height.
// Every view lays out every dialog with this one conversion.
class DialogUnits {
 public:
  explicit DialogUnits(const DialogFontMetrics& metrics);

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }
  int X(int units) const;
  int Y(int units) const;
  // Place and size are converted each on its own, as a dialog's controls are created.
  PixelRect ToPixels(const DialogRect& rect) const;

 private:
  int baseX_;
  int baseY_;
};

}  // namespace drunvale
