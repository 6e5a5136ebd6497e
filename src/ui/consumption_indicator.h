#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>
#include <string>

namespace drunvale {

// The large current-consumption number. It reads its text and unit from the controller each
// time it paints and fills its whole client area itself, so it never flickers through an
// erased background.
class ConsumptionIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit ConsumptionIndicator(QWidget* parent = nullptr);

  void SetSource(std::function<std::string()> text, std::function<bool()> litresPerHour);

  // Inside the raised dialog-frame edge and the sunken client edge.
  QRect ClientRect() const;

  static constexpr int kFrameWidth = 5;
  static constexpr int kTextLift = 22;    // the text cell starts this far above the client
  static constexpr int kRightMargin = 2;  // the text ends this far before the right edge
  static constexpr int kCharacterHeight = 136;
  static QColor Background() { return QColor(128, 128, 128); }
  static QColor TextColour(bool litresPerHour);
  // The digits' colour now, by the rules above; the dash takes its digits' colour from here.
  QColor DigitColour() const;
  static QFont DigitFont();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintEdges(class QPainter& painter) const;

  std::function<std::string()> text_;
  std::function<bool()> litresPerHour_;
  QFont font_;
};

}  // namespace drunvale
