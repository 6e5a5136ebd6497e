#pragma once

#include <QFont>
#include <QRect>

namespace drunvale {

// The dialog's base units in pixels, derived from its font the way Windows does, so that
// the window keeps the proportions its controls were laid out in.
struct DialogBaseUnits {
  int x = 0;  // average width of "A-Z" and "a-z", rounded as Windows rounds it
  int y = 0;  // font height, as LineHeight gives it

  static DialogBaseUnits Of(const QFont& font);

  int ToPixelsX(int dialogUnits) const;
  int ToPixelsY(int dialogUnits) const;
  QRect ToPixels(int x, int y, int width, int height) const;
};

// The height of one line of text in the font, ascent and descent each rounded up as Windows
// rounds a scalable font's metrics: the line pitch of the static texts and the vertical base
// unit.
int LineHeight(const QFont& font);

// Stands in for "MS Sans Serif" 8 pt: a sans face of the same build at the size Windows would
// pick for 8 pt on a screen of the given vertical resolution.
QFont DialogFont(int logicalDpiY);

}  // namespace drunvale
