// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dash_chart.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "trip/fixed_format.h"

namespace drunvale {
namespace {

QString Figure(float value) {
  std::string text;
  AppendFixed(text, value, value == std::floor(value) ? 0 : 1);
  return QString::fromStdString(text);
}

double ColumnOf(const QRect& plot, size_t seconds, size_t age) {
  const double step = static_cast<double>(plot.width()) / static_cast<double>(seconds - 1);
  return plot.right() + 1 - static_cast<double>(age) * step;
}

void PaintBands(QPainter& painter, const QRect& plot, const ChartView& view,
                const DashPalette& palette, const QFontMetrics& metrics) {
  const ChartScale& scale = view.scale;
  const int limitRow = RowOf(plot, scale, scale.overLimit);
  // The band where the beeps follow the consumption: its sound moves from the Min level's
  // towards the Max level's as the value nears the limit.
  if (scale.overLimit > 0) {
    const QRect band(plot.left(), limitRow, plot.width(), plot.bottom() + 1 - limitRow);
    QLinearGradient gradient(band.bottomLeft(), band.topLeft());
    gradient.setColorAt(0, palette.minBand);
    gradient.setColorAt(1, palette.maxBand);
    painter.fillRect(band, gradient);
  }
  painter.fillRect(QRect(plot.left(), plot.top(), plot.width(), limitRow - plot.top()),
                   palette.overBand);

  painter.setPen(palette.text);
  const int inset = metrics.height() / 4;
  const QRect labels = plot.adjusted(inset, 0, -inset, 0);
  if (scale.overLimit > 0) {
    painter.drawText(QRect(labels.left(), limitRow, labels.width(), plot.bottom() - limitRow),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Минимальный"));
    painter.drawText(QRect(labels.left(), limitRow, labels.width(), metrics.height()),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("Максимальный"));
  }
  if (limitRow - plot.top() >= metrics.height()) {
    painter.drawText(
        QRect(labels.left(), limitRow - metrics.height(), labels.width(), metrics.height()),
        Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Запредельный"));
  }
}

void PaintScale(QPainter& painter, const QRect& area, const QRect& plot, const ChartView& view,
                const DashPalette& palette, const QFontMetrics& metrics) {
  const ChartScale& scale = view.scale;
  painter.setPen(QPen(palette.grid, 1));
  for (float value = 0; value <= scale.top + scale.gridStep / 2; value += scale.gridStep) {
    const int row = RowOf(plot, scale, value);
    painter.setPen(QPen(palette.grid, 1));
    painter.drawLine(plot.left(), row, plot.right(), row);
    painter.setPen(palette.text);
    painter.drawText(
        QRect(area.left(), row - metrics.height() / 2,
              plot.left() - area.left() - metrics.averageCharWidth(), metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, Figure(value));
  }
  // Time marks: every 5 minutes back from now, "сейчас" at the right.
  const size_t markSeconds = view.seconds > 900 ? 600 : 300;
  for (size_t age = 0; age < view.seconds; age += markSeconds) {
    const int column = static_cast<int>(std::lround(ColumnOf(plot, view.seconds, age)));
    const QString label =
        age == 0 ? QStringLiteral("сейчас") : QStringLiteral("−%1 мин").arg(age / 60);
    const int width = metrics.horizontalAdvance(label);
    const int left = std::clamp(column - width / 2, plot.left(), plot.right() + 1 - width);
    painter.drawText(QRect(left, plot.bottom() + 2, width, metrics.height()), Qt::AlignLeft, label);
    painter.setPen(QPen(palette.grid, 1));
    painter.drawLine(column, plot.bottom(), column, plot.bottom() + metrics.height() / 4);
    painter.setPen(palette.text);
  }
}

// Vertical strips over the seconds spent in jams.
void PaintJams(QPainter& painter, const QRect& plot, const ConsumptionHistory& history,
               const ChartView& view, const DashPalette& palette) {
  const size_t count = std::min(view.seconds, history.Size());
  const double half = static_cast<double>(plot.width()) / (view.seconds - 1) / 2;
  size_t age = 0;
  while (age < count) {
    if (history.At(age).kind != PointKind::Jam) {
      ++age;
      continue;
    }
    const size_t newest = age;
    while (age < count && history.At(age).kind == PointKind::Jam)
      ++age;
    const double right =
        std::min<double>(ColumnOf(plot, view.seconds, newest) + half, plot.right() + 1);
    const double left = std::max<double>(ColumnOf(plot, view.seconds, age - 1) - half, plot.left());
    const QRectF strip(left, plot.top(), right - left, plot.height());
    // Hatched, so the bands still show through in either palette.
    painter.fillRect(strip, QBrush(palette.jam, Qt::BDiagPattern));
    painter.setPen(palette.text);
    if (painter.fontMetrics().horizontalAdvance(QStringLiteral("пробка")) < strip.width()) {
      painter.drawText(strip.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("пробка"));
    }
  }
}

void PaintLine(QPainter& painter, const QRect& plot, const ConsumptionHistory& history,
               const ChartView& view, const DashPalette& palette, int width) {
  QPainterPath path;
  bool drawing = false;
  const size_t count = std::min(view.seconds, history.Size());
  for (size_t age = count; age-- > 0;) {
    const std::optional<float> value = PointValue(history.At(age), view.litresPerHour);
    if (!value) {
      drawing = false;  // a gap stays empty
      continue;
    }
    const QPointF point(ColumnOf(plot, view.seconds, age), RowOf(plot, view.scale, *value));
    if (drawing) {
      path.lineTo(point);
    } else {
      path.moveTo(point);
      // A lone second still shows, as a short dash.
      path.lineTo(point + QPointF(0.5, 0));
      drawing = true;
    }
  }
  painter.setPen(QPen(palette.line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
}

void PaintAverage(QPainter& painter, const QRect& plot, const ChartView& view,
                  const DashPalette& palette, const QFontMetrics& metrics, int width) {
  if (!view.average) return;
  const int row = RowOf(plot, view.scale, *view.average);
  painter.setPen(QPen(palette.average, width, Qt::DashLine));
  painter.drawLine(plot.left(), row, plot.right(), row);
  painter.setPen(palette.average);
  const int inset = metrics.height() / 4;
  painter.drawText(
      QRect(plot.left() + inset, row - metrics.height(), plot.width() / 2, metrics.height()),
      Qt::AlignLeft | Qt::AlignBottom,
      QStringLiteral("среднее ") + Figure(std::round(*view.average * 10) / 10));
}

}  // namespace

QRect PlotRect(const QRect& area, const QFont& labelFont) {
  const QFontMetrics metrics(labelFont);
  const int left = metrics.horizontalAdvance(QStringLiteral("000")) + metrics.averageCharWidth();
  return area.adjusted(left, metrics.height() / 2, 0, -metrics.height() - 2);
}

int RowOf(const QRect& plot, const ChartScale& scale, float value) {
  const float clamped = std::clamp(value, 0.0f, scale.top);
  return plot.bottom() - static_cast<int>(std::lround(clamped / scale.top * plot.height()));
}

void PaintChartBackground(QPainter& painter, const QSize& size, const ChartView& view,
                          const DashPalette& palette, const QFont& labelFont) {
  const QRect area(QPoint(0, 0), size);
  const QFontMetrics metrics(labelFont);
  const QRect plot = PlotRect(area, labelFont);
  painter.fillRect(area, palette.background);
  painter.fillRect(plot, palette.chartBackground);
  painter.setFont(labelFont);
  PaintBands(painter, plot, view, palette, metrics);
  PaintScale(painter, area, plot, view, palette, metrics);
}

void PaintChartData(QPainter& painter, const QRect& area, const ConsumptionHistory& history,
                    const ChartView& view, const DashPalette& palette, const QFont& labelFont) {
  const QFontMetrics metrics(labelFont);
  const QRect plot = PlotRect(area, labelFont);
  painter.setFont(labelFont);
  PaintJams(painter, plot, history, view, palette);
  const int lineWidth = std::max(2, area.height() / 150);
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintLine(painter, plot, history, view, palette, lineWidth);
  painter.setRenderHint(QPainter::Antialiasing, false);
  PaintAverage(painter, plot, view, palette, metrics, std::max(1, lineWidth / 2));
}

}  // namespace drunvale
