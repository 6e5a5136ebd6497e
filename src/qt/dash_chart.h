// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <cstddef>
#include <optional>

#include "dash/chart_scale.h"
#include "dash/consumption_history.h"
#include "qt/dash_palette.h"

class QPainter;

namespace drunvale {

// What the strip chart is drawn from, apart from the points themselves.
struct ChartView {
  size_t seconds = 600;  // the span shown, the newest point at the right edge
  bool litresPerHour = true;
  ChartScale scale;
  std::optional<float> average;
};

// Where the plotting area lies inside `area`: room is kept on the left for the scale's
// figures and below for the time marks.
QRect PlotRect(const QRect& area, const QFont& labelFont);
// The pixel row of a value in the plotting area; values above the scale sit on its top edge.
int RowOf(const QRect& plot, const ChartScale& scale, float value);

// The chart in two layers. What changes only with the scale or the palette: the sound levels
// as bands, the scale and the time marks, drawn into `area`'s size from (0, 0) so that it can
// be kept in a pixmap.
void PaintChartBackground(QPainter& painter, const QSize& area, const ChartView& view,
                          const DashPalette& palette, const QFont& labelFont);
// What changes with every point, over the background: jams shaded, the consumption as a line
// broken where there was no data, and the trip's average as a dashed line.
void PaintChartData(QPainter& painter, const QRect& area, const ConsumptionHistory& history,
                    const ChartView& view, const DashPalette& palette, const QFont& labelFont);

}  // namespace drunvale
