// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>
#include <string>

#include "dialogs/indicator_colours.h"
#include "dialogs/indicator_look.h"

namespace drunvale {

// The large current-consumption number. It reads its text and colour from the controller each
// time it paints and fills its whole client area itself, so it never flickers through an
// erased background.
class ConsumptionIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit ConsumptionIndicator(QWidget* parent = nullptr);

  void SetSource(std::function<std::string()> text, std::function<Rgb()> colour);

  // Inside the raised dialog-frame edge and the sunken client edge.
  QRect ClientRect() const;

  static constexpr int kFrameWidth = 5;
  static constexpr int kTextLift = kIndicatorTextLift;
  static constexpr int kRightMargin = kIndicatorRightMargin;
  static constexpr int kCharacterHeight = kIndicatorCharacterHeight;
  static QColor Background() { return ToQColor(kIndicatorBackground); }
  static QColor ToQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }
  static QFont DigitFont();
  // The digits' colour now, as the source gives it; the dash takes its digits' colour from here.
  Rgb DigitColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintEdges(class QPainter& painter) const;

  std::function<std::string()> text_;
  std::function<Rgb()> colour_;
  QFont font_;
};

}  // namespace drunvale
