// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "dash/dash_model.h"
#include "qt/dash_chart.h"

class QMenu;
class QScreen;

namespace drunvale {

// The full-screen dash in Qt: it paints what the dash's model plans and draws again only the
// parts the model says changed.
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
  QRect DigitsRect() const { return ToQRect(model_.Layout().digits); }
  QRect FiguresRect() const { return ToQRect(model_.Layout().figures); }
  QRect ChartRect() const { return ToQRect(model_.Layout().chart); }
  bool Night() const { return model_.Night(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void AddEntries(QMenu& menu, const std::vector<ShownMenuEntry>& entries);
  // After a command: closed, or the look it set shown.
  void Follow(bool close);
  void PaintChart(QPainter& painter);

  DashModel model_;
  DashFaces faces_;
  // The chart's backdrop, drawn again only when its plan changes.
  QPixmap backdrop_;
  ChartBackdrop backdropPlan_;
  // The clock may bring night while nothing else changes.
  QTimer clockCheck_;
};

}  // namespace drunvale
