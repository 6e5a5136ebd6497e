// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dash_window.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <optional>

#include "dash/dash_texts.h"
#include "qt/consumption_indicator.h"

namespace drunvale {
namespace {

constexpr int kClockCheckMs = 30000;

// Letters by their key whatever the layout: N/Т and T/Е share a key on the Russian one.
std::optional<DashCommand> CommandOf(int key) {
  switch (key) {
    case Qt::Key_F11:
    case Qt::Key_Escape:
      return DashCommand::Close;
    case Qt::Key_N:
    case 0x0422:  // Т
      return DashCommand::Night;
    case Qt::Key_T:
    case 0x0415:  // Е
      return DashCommand::Span;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return DashCommand::Brighter;
    case Qt::Key_Minus:
      return DashCommand::Dimmer;
    default:
      return std::nullopt;
  }
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DashWindow::DashWindow(DashSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(std::move(source)) {
  setWindowTitle(Q(dash_text::kTitle));
  // Every paint covers what it was asked to; nothing need be cleared first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  faces_ = {ConsumptionIndicator::DigitFont(), font()};
  clockCheck_.setInterval(kClockCheckMs);
  connect(&clockCheck_, &QTimer::timeout, this, &DashWindow::Refresh);
  clockCheck_.start();
}

DashWindow::~DashWindow() = default;

void DashWindow::OpenOn(QScreen* screen) {
  if (screen != nullptr) setGeometry(screen->geometry());
  showFullScreen();
  raise();
  activateWindow();
  Refresh();
}

void DashWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  model_.Resize(width(), height(), [this](DashFont font, int pixels, std::string_view text) {
    return faces_.Width(font, pixels, text);
  });
  Refresh();
}

void DashWindow::Refresh() {
  const DashChanges changes = model_.Refresh();
  if (changes.palette) {
    update();
    return;
  }
  if (changes.digits) update(DigitsRect());
  if (changes.figures) update(FiguresRect());
  if (changes.chart) update(ChartRect());
}

void DashWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect asked = event->rect();
  const QColor background = ConsumptionIndicator::ToQColor(model_.Colours().background);
  const QRegion margins = QRegion(rect()) - DigitsRect() - FiguresRect() - ChartRect();
  for (const QRect& part : margins.intersected(asked))
    painter.fillRect(part, background);
  for (const QRect& part : {DigitsRect(), FiguresRect()}) {
    if (!asked.intersects(part)) continue;
    painter.fillRect(part, background);
    for (const PlacedText& text : part == DigitsRect() ? model_.Digits() : model_.Figures())
      PaintText(painter, text, faces_);
  }
  if (asked.intersects(ChartRect())) PaintChart(painter);
}

void DashWindow::PaintChart(QPainter& painter) {
  const DashLayout& layout = model_.Layout();
  ChartBackdrop plan = model_.Backdrop();
  if (backdrop_.isNull() || !(plan == backdropPlan_)) {
    backdropPlan_ = std::move(plan);
    backdrop_ = QPixmap(ChartRect().size());
    QPainter layer(&backdrop_);
    layer.translate(-layout.chart.left, -layout.chart.top);
    PaintBackdrop(layer, backdropPlan_, faces_);
  }
  painter.drawPixmap(ChartRect().topLeft(), backdrop_);
  PaintData(painter, model_.Data(), layout.plot, faces_);
}

void DashWindow::Follow(bool close) {
  if (close) {
    this->close();
  } else {
    Refresh();
  }
}

void DashWindow::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<DashCommand> command = CommandOf(event->key())) {
    Follow(model_.Do(*command));
    return;
  }
  QWidget::keyPressEvent(event);
}

void DashWindow::AddEntries(QMenu& menu, const std::vector<ShownMenuEntry>& entries) {
  QActionGroup* radios = nullptr;  // the neighbouring radio entries
  for (const ShownMenuEntry& entry : entries) {
    if (entry.kind != MenuItemKind::Radio) radios = nullptr;
    if (entry.kind == MenuItemKind::Separator) {
      menu.addSeparator();
      continue;
    }
    if (entry.kind == MenuItemKind::Submenu) {
      AddEntries(*menu.addMenu(Q(entry.text)), entry.submenu);
      continue;
    }
    QAction* action =
        menu.addAction(Q(entry.key.empty() ? entry.text : entry.text + "\t" + entry.key));
    if (entry.kind == MenuItemKind::Radio) {
      if (radios == nullptr) radios = new QActionGroup(&menu);
      radios->addAction(action);
    }
    action->setCheckable(entry.kind != MenuItemKind::Command);
    action->setChecked(entry.marked);
    connect(action, &QAction::triggered, this,
            [this, id = entry.id] { Follow(model_.ChooseFromMenu(id)); });
  }
}

std::unique_ptr<QMenu> DashWindow::MakeContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  AddEntries(*menu, model_.Menu());
  return menu;
}

void DashWindow::contextMenuEvent(QContextMenuEvent* event) {
  MakeContextMenu()->exec(event->globalPos());
}

}  // namespace drunvale
