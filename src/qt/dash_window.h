// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "dash/consumption_history.h"
#include "dash/dash_figures.h"
#include "dash/dash_look.h"
#include "qt/dash_chart.h"
#include "qt/dash_palette.h"

class QMenu;
class QScreen;

namespace drunvale {

// Where the dash reads what it shows; filled from the controller (fakes in tests and
// pictures). The history must outlive the dash.
struct DashSource {
  std::function<DashFrame()> frame;
  const ConsumptionHistory* history = nullptr;
  // The indicator's digit colour now, by its own rules.
  std::function<QColor()> digitColour;
  std::function<DashLook()> look;
  std::function<void(const DashLook&)> setLook;
  // Whether the night palette is in force now.
  std::function<bool()> night;
};

// The full-screen dash: the current consumption in the largest digits the screen allows, the
// trip's key figures, and the last 10 (or 30) minutes as a strip chart over the sound levels.
// It draws again only what changed since the last refresh.
class DashWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DashWindow(DashSource source, QWidget* parent = nullptr);
  ~DashWindow() override;

  // Full screen on this screen.
  void OpenOn(QScreen* screen);
  // At each refresh of the display: asks to repaint the parts whose content changed.
  void Refresh();
  std::unique_ptr<QMenu> MakeContextMenu();

  // The parts, in this window's coordinates.
  QRect DigitsRect() const { return digitsRect_; }
  QRect FiguresRect() const { return figuresRect_; }
  QRect ChartRect() const { return chartRect_; }
  bool Night() const { return night_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // What each part was last drawn from; a part whose key is unchanged is not drawn again.
  struct ChartKey {
    uint64_t revision = 0;
    int averageRow = -1;
    long averageTenths = -1;  // as its label shows it
    ChartScale scale;
    size_t seconds = 0;
    bool litresPerHour = true;
    bool operator==(const ChartKey& o) const {
      return revision == o.revision && averageRow == o.averageRow &&
             averageTenths == o.averageTenths && scale.top == o.scale.top &&
             scale.overLimit == o.scale.overLimit && seconds == o.seconds &&
             litresPerHour == o.litresPerHour;
    }
  };

  void LayOut();
  DashPalette PaletteNow() const;
  void ChangeLook(const DashLook& look);
  void PaintDigits(QPainter& painter);
  // Large glyphs are filled as outlines at every paint; each one is drawn once into a pixmap
  // instead, for the digits' size and colours in force.
  const QPixmap& Glyph(QChar character, const QFont& font, const DashPalette& palette);
  void PaintFigures(QPainter& painter);

  DashSource source_;
  DashFrame frame_;
  QColor dayDigits_;
  DashLook look_;
  bool night_ = false;
  ChartKey chartKey_;
  QRect digitsRect_;
  QRect figuresRect_;
  QRect chartRect_;
  QFont digitFont_;
  QFont unitFont_;
  QFont figureFont_;
  QFont labelFont_;
  // The chart's bands and scale, drawn again only when the scale, size or palette change.
  QPixmap chartBackground_;
  QString chartBackgroundKey_;
  QHash<QChar, QPixmap> glyphs_;
  QString glyphsKey_;
  // The clock may bring night while nothing else changes.
  QTimer clockCheck_;
};

}  // namespace drunvale
