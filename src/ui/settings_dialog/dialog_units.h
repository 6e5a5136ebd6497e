#pragma once

#include <QFont>
#include <QRect>

namespace drunvale {

// Dialog units as Windows turns them into pixels for a dialog's font: a horizontal unit is a
// quarter of the font's average character width, a vertical one an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;

  int AverageCharWidth() const { return averageWidth_; }
  int FontHeight() const { return height_; }

 private:
  int averageWidth_;
  int height_;
};

// The stand-in for "MS Shell Dlg" 8: an 8-point sans-serif face with similar metrics.
QFont DialogFont();

}  // namespace drunvale
