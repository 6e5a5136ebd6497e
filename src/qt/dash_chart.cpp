// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dash_chart.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>

#include "qt/consumption_indicator.h"

namespace drunvale {
namespace {

QColor Q(Rgb colour) {
  return ConsumptionIndicator::ToQColor(colour);
}

Qt::Alignment AlignmentOf(const PlacedText& text) {
  const Qt::Alignment h = text.horizontal == HAlign::Left     ? Qt::AlignLeft
                          : text.horizontal == HAlign::Centre ? Qt::AlignHCenter
                                                              : Qt::AlignRight;
  const Qt::Alignment v = text.vertical == VAlign::Top      ? Qt::AlignTop
                          : text.vertical == VAlign::Centre ? Qt::AlignVCenter
                                                            : Qt::AlignBottom;
  return h | v;
}

void PaintBand(QPainter& painter, const ChartBand& band) {
  const QRect box = ToQRect(band.box);
  if (band.bottom == band.top) {
    painter.fillRect(box, Q(band.top));
    return;
  }
  QLinearGradient gradient(box.bottomLeft(), box.topLeft());
  gradient.setColorAt(0, Q(band.bottom));
  gradient.setColorAt(1, Q(band.top));
  painter.fillRect(box, gradient);
}

}  // namespace

QFont DashFaces::At(DashFont font, int pixels) const {
  QFont face = font == DashFont::Labels ? labels : bold;
  face.setPixelSize(std::max(1, pixels));
  return face;
}

int DashFaces::Width(DashFont font, int pixels, std::string_view text) const {
  return QFontMetrics(At(font, pixels))
      .horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QRect ToQRect(const PixelBox& box) {
  return {box.left, box.top, box.Width(), box.Height()};
}

void PaintText(QPainter& painter, const PlacedText& text, const DashFaces& faces) {
  const QFont font = faces.At(text.font, text.pixels);
  const QString shown = QString::fromStdString(text.text);
  painter.setFont(font);
  painter.setPen(Q(text.colour));
  if (text.vertical != VAlign::Baseline) {
    painter.drawText(ToQRect(text.box), AlignmentOf(text) | Qt::TextDontClip, shown);
    return;
  }
  const int width = QFontMetrics(font).horizontalAdvance(shown);
  const int left = text.horizontal == HAlign::Left ? text.box.left
                   : text.horizontal == HAlign::Centre
                       ? text.box.left + (text.box.Width() - width) / 2
                       : text.box.right - width;
  painter.drawText(QPoint(left, text.box.bottom), shown);
}

void PaintBackdrop(QPainter& painter, const ChartBackdrop& plan, const DashFaces& faces) {
  const PixelBox& plot = plan.plot;
  painter.fillRect(ToQRect(plan.chart), Q(plan.background));
  painter.fillRect(ToQRect(plot), Q(plan.plotBackground));
  for (const ChartBand& band : plan.bands)
    PaintBand(painter, band);
  for (const PlacedText& name : plan.bandNames)
    PaintText(painter, name, faces);
  for (const ChartGridRow& row : plan.rows) {
    painter.setPen(QPen(Q(plan.grid), 1));
    painter.drawLine(plot.left, row.row, plot.right - 1, row.row);
    PaintText(painter, row.figure, faces);
  }
  for (const ChartTimeMark& mark : plan.marks) {
    painter.setPen(QPen(Q(plan.grid), 1));
    painter.drawLine(mark.column, plot.bottom, mark.column, plot.bottom + plan.tickLength - 1);
    PaintText(painter, mark.label, faces);
  }
}

void PaintData(QPainter& painter, const ChartData& plan, const PixelBox& plot,
               const DashFaces& faces) {
  for (const ChartJam& jam : plan.jams) {
    painter.fillRect(ToQRect(jam.strip), QBrush(Q(plan.jam), Qt::BDiagPattern));
    if (jam.label) PaintText(painter, *jam.label, faces);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(Q(plan.line), plan.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  for (const std::vector<ChartPoint>& run : plan.runs) {
    QPolygon line;
    for (const ChartPoint& point : run)
      line << QPoint(point.x, point.y);
    painter.drawPolyline(line);
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (!plan.average) return;
  const ChartAverage& average = *plan.average;
  painter.setPen(QPen(Q(average.colour), average.width, Qt::DashLine));
  painter.drawLine(plot.left, average.row, plot.right - 1, average.row);
  PaintText(painter, average.label, faces);
}

}  // namespace drunvale
