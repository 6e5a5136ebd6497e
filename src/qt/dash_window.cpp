// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dash_window.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "program_version.h"
#include "qt/consumption_indicator.h"

namespace drunvale {
namespace {

// The widest digits either unit shows in practice.
const QString kWidestDigits = QStringLiteral("88.8");
constexpr int kClockCheckMs = 30000;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The largest pixel size at which `text` fits `box`, no more than `height`.
int FittingPixelSize(QFont font, const QString& text, const QSize& box, int height) {
  font.setPixelSize(std::max(1, height));
  const int width = QFontMetrics(font).horizontalAdvance(text);
  if (width <= box.width()) return std::max(1, height);
  return std::max(1, height * box.width() / width);
}

QString MinuteText(int minute) {
  return QStringLiteral("%1:%2").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

DashWindow::DashWindow(DashSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)) {
  setWindowTitle(QStringLiteral(DRUNVALE_TITLE " — приборная панель"));
  // Every paint covers what it was asked to; nothing need be cleared first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  digitFont_ = ConsumptionIndicator::DigitFont();
  unitFont_ = digitFont_;
  figureFont_ = digitFont_;
  labelFont_ = font();
  clockCheck_.setInterval(kClockCheckMs);
  connect(&clockCheck_, &QTimer::timeout, this, &DashWindow::Refresh);
  clockCheck_.start();
  Refresh();
}

DashWindow::~DashWindow() = default;

void DashWindow::OpenOn(QScreen* screen) {
  if (screen != nullptr) setGeometry(screen->geometry());
  showFullScreen();
  raise();
  activateWindow();
  Refresh();
}

DashPalette DashWindow::PaletteNow() const {
  return night_ ? NightPalette(dayDigits_, look_.brightness) : DayPalette(dayDigits_);
}

void DashWindow::LayOut() {
  const int w = width();
  const int h = height();
  const int margin = std::max(6, h / 60);
  digitsRect_ = QRect(margin, margin, w - 2 * margin, h * 40 / 100);
  figuresRect_ = QRect(margin, digitsRect_.bottom() + 1, w - 2 * margin, h * 10 / 100);
  const int chartTop = figuresRect_.bottom() + 1 + margin / 2;
  chartRect_ = QRect(margin, chartTop, w - 2 * margin, h - margin - chartTop);

  // Digits as tall as their part allows, unless the widest would then not fit beside the unit.
  unitFont_.setPixelSize(std::max(8, digitsRect_.height() / 7));
  const int unitWidth =
      QFontMetrics(unitFont_).horizontalAdvance(QStringLiteral("л/100 км")) + margin;
  // For this face the digits stand about 0.72 of the pixel size tall.
  const int tallest = digitsRect_.height() * 100 / 74;
  digitFont_.setPixelSize(FittingPixelSize(
      digitFont_, kWidestDigits, {digitsRect_.width() - unitWidth, digitsRect_.height()}, tallest));
  labelFont_.setPixelSize(std::max(11, h / 40));
  figureFont_.setPixelSize(std::max(11, figuresRect_.height() * 45 / 100));
  chartKey_ = {};
}

void DashWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
  Refresh();
}

void DashWindow::Refresh() {
  const DashFrame frame = source_.frame ? source_.frame() : DashFrame{};
  const QColor digits =
      source_.digitColour
          ? source_.digitColour()
          : ConsumptionIndicator::ToQColor(IndicatorTextColour(frame.litresPerHour, false));
  const DashLook look = source_.look ? source_.look() : DashLook{};
  const bool night = source_.night ? source_.night() : false;

  const bool newPalette = night != night_ || (night && look.brightness != look_.brightness);
  const bool newDigits = frame.digits != frame_.digits ||
                         frame.litresPerHour != frame_.litresPerHour || digits != dayDigits_;
  const bool newFigures = !(frame.figures == frame_.figures);
  night_ = night;
  look_ = look;
  dayDigits_ = digits;
  frame_ = frame;
  if (newPalette) {
    chartKey_ = {};
    update();
  } else {
    if (newDigits) update(digitsRect_);
    if (newFigures) update(figuresRect_);
  }

  ChartKey key;
  key.seconds = static_cast<size_t>(look_.spanMinutes) * 60;
  key.litresPerHour = frame.litresPerHour;
  if (source_.history != nullptr) {
    key.revision = source_.history->Revision();
    key.scale = ScaleFor(*source_.history, key.seconds, frame.litresPerHour, frame.overLimit,
                         frame.average);
  }
  // The average moves the chart only when it moves by a pixel row.
  if (frame.average) {
    key.averageRow = RowOf(PlotRect(chartRect_, labelFont_), key.scale, *frame.average);
    key.averageTenths = std::lround(*frame.average * 10);
  }
  if (!(key == chartKey_)) {
    chartKey_ = key;
    update(chartRect_);
  }
}

void DashWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const DashPalette palette = PaletteNow();
  const QRect asked = event->rect();
  // The margins around the parts.
  const QRegion margins = QRegion(rect()) - digitsRect_ - figuresRect_ - chartRect_;
  for (const QRect& part : margins.intersected(asked))
    painter.fillRect(part, palette.background);
  if (asked.intersects(digitsRect_)) PaintDigits(painter);
  if (asked.intersects(figuresRect_)) PaintFigures(painter);
  if (asked.intersects(chartRect_) && source_.history != nullptr) {
    ChartView view;
    view.seconds = chartKey_.seconds;
    view.litresPerHour = frame_.litresPerHour;
    view.scale = chartKey_.scale;
    view.average = frame_.average;
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(chartRect_.width())
                            .arg(chartRect_.height())
                            .arg(double(view.scale.top))
                            .arg(double(view.scale.overLimit))
                            .arg(view.seconds)
                            .arg(palette.background.name(), palette.grid.name(QColor::HexArgb));
    if (key != chartBackgroundKey_) {
      chartBackgroundKey_ = key;
      chartBackground_ = QPixmap(chartRect_.size());
      QPainter background(&chartBackground_);
      PaintChartBackground(background, chartRect_.size(), view, palette, labelFont_);
    }
    painter.drawPixmap(chartRect_.topLeft(), chartBackground_);
    PaintChartData(painter, chartRect_, *source_.history, view, palette, labelFont_);
  }
}

void DashWindow::PaintDigits(QPainter& painter) {
  const DashPalette palette = PaletteNow();
  painter.fillRect(digitsRect_, palette.background);
  const QFontMetrics unitMetrics(unitFont_);
  const QString unit = Q(UnitName(frame_.litresPerHour));
  const int unitWidth =
      unitMetrics.horizontalAdvance(QStringLiteral("л/100 км")) + digitsRect_.height() / 20;
  const int baseline = digitsRect_.bottom() - digitsRect_.height() / 20;

  painter.setFont(unitFont_);
  painter.setPen(palette.text);
  painter.drawText(QPoint(digitsRect_.right() + 1 - unitMetrics.horizontalAdvance(unit), baseline),
                   unit);

  // Text wider than the widest expected ("8^0", a three-figure l/h) is narrowed to fit.
  QFont font = digitFont_;
  const QString digits = Q(frame_.digits);
  const int room = digitsRect_.width() - unitWidth;
  const int width = QFontMetrics(font).horizontalAdvance(digits);
  if (width > room) font.setPixelSize(std::max(1, font.pixelSize() * room / width));
  painter.setFont(font);
  painter.setPen(palette.digits);
  painter.drawText(
      QPoint(digitsRect_.left() + room - QFontMetrics(font).horizontalAdvance(digits), baseline),
      digits);
}

void DashWindow::PaintFigures(QPainter& painter) {
  const DashPalette palette = PaletteNow();
  painter.fillRect(figuresRect_, palette.background);
  const QString texts[] = {Q(frame_.figures.average), Q(frame_.figures.distance),
                           Q(frame_.figures.litres), Q(frame_.figures.money)};
  const int columns = 4;
  const int columnWidth = figuresRect_.width() / columns;
  QFont font = figureFont_;
  int widest = 0;
  for (const QString& text : texts)
    widest = std::max(widest, QFontMetrics(font).horizontalAdvance(text));
  const int room = columnWidth * 92 / 100;
  if (widest > room) font.setPixelSize(std::max(1, font.pixelSize() * room / widest));
  painter.setFont(font);
  painter.setPen(palette.text);
  for (int i = 0; i < columns; ++i) {
    painter.drawText(QRect(figuresRect_.left() + i * columnWidth, figuresRect_.top(), columnWidth,
                           figuresRect_.height()),
                     Qt::AlignCenter, texts[i]);
  }
}

void DashWindow::ChangeLook(const DashLook& look) {
  if (source_.setLook) source_.setLook(look);
  Refresh();
  update();
}

void DashWindow::keyPressEvent(QKeyEvent* event) {
  // Letters on the key whatever the layout: N/Т, T/Е share a key on the Russian one.
  switch (event->key()) {
    case Qt::Key_F11:
    case Qt::Key_Escape:
      close();
      return;
    case Qt::Key_N:
    case 0x0422:  // Т
      ChangeLook([&] {
        DashLook look = look_;
        look.mode = night_ ? NightMode::Day : NightMode::Night;
        return look;
      }());
      return;
    case Qt::Key_T:
    case 0x0415:  // Е
      ChangeLook(ToggleSpan(look_));
      return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ChangeLook(StepBrightness(look_, +1));
      return;
    case Qt::Key_Minus:
      ChangeLook(StepBrightness(look_, -1));
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

std::unique_ptr<QMenu> DashWindow::MakeContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  auto* modes = new QActionGroup(menu.get());
  auto addMode = [&](const QString& text, NightMode mode) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(look_.mode == mode);
    modes->addAction(action);
    connect(action, &QAction::triggered, this, [this, mode] {
      DashLook look = look_;
      look.mode = mode;
      ChangeLook(look);
    });
  };
  addMode(QStringLiteral("День"), NightMode::Day);
  addMode(QStringLiteral("Ночь\tN"), NightMode::Night);
  addMode(QStringLiteral("Ночь по часам, %1–%2")
              .arg(MinuteText(look_.nightFromMinute), MinuteText(look_.nightToMinute)),
          NightMode::ByClock);

  auto addHours = [&](const QString& title, int first, int last, uint16_t DashLook::*field) {
    QMenu* hours = menu->addMenu(title);
    auto* group = new QActionGroup(hours);
    for (int hour = first; hour <= last; ++hour) {
      QAction* action = hours->addAction(MinuteText(hour * 60));
      action->setCheckable(true);
      action->setChecked(look_.*field == hour * 60);
      group->addAction(action);
      connect(action, &QAction::triggered, this, [this, hour, field] {
        DashLook look = look_;
        look.*field = static_cast<uint16_t>(hour * 60);
        look.mode = NightMode::ByClock;
        ChangeLook(look);
      });
    }
  };
  addHours(QStringLiteral("Ночь начинается в"), 17, 23, &DashLook::nightFromMinute);
  addHours(QStringLiteral("Ночь кончается в"), 4, 9, &DashLook::nightToMinute);

  QMenu* brightness = menu->addMenu(QStringLiteral("Яркость ночью"));
  auto* levels = new QActionGroup(brightness);
  for (int percent = DashLook::kDimmest; percent <= DashLook::kBrightest;
       percent += DashLook::kBrightnessStep) {
    QAction* action = brightness->addAction(QStringLiteral("%1 %").arg(percent));
    action->setCheckable(true);
    action->setChecked(look_.brightness == percent);
    levels->addAction(action);
    connect(action, &QAction::triggered, this, [this, percent] {
      DashLook look = look_;
      look.brightness = static_cast<uint8_t>(percent);
      ChangeLook(look);
    });
  }
  menu->addSeparator();
  QAction* span = menu->addAction(QStringLiteral("График за 30 минут\tT"));
  span->setCheckable(true);
  span->setChecked(look_.spanMinutes == 30);
  connect(span, &QAction::triggered, this, [this] { ChangeLook(ToggleSpan(look_)); });
  menu->addSeparator();
  QAction* closing = menu->addAction(QStringLiteral("Закрыть\tF11"));
  connect(closing, &QAction::triggered, this, &QWidget::close);
  return menu;
}

void DashWindow::contextMenuEvent(QContextMenuEvent* event) {
  MakeContextMenu()->exec(event->globalPos());
}

}  // namespace drunvale
