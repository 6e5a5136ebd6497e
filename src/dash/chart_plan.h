// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "dash/chart_scale.h"
#include "dash/consumption_history.h"
#include "dash/dash_layout.h"

namespace drunvale {

// What the strip chart is drawn from, apart from the points themselves.
struct ChartView {
  size_t seconds = 600;  // the span shown, the newest point at the right edge
  bool litresPerHour = true;
  ChartScale scale;
  std::optional<float> average;

  bool operator==(const ChartView&) const = default;
};

// The pixel row of a value in the plot: 0 on its last row, the scale's top on its first;
// values above the scale sit on the first.
int RowOf(const PixelBox& plot, const ChartScale& scale, float value);
// The column of a point `age` seconds old: the newest on the plot's last column, the oldest
// shown on its first.
double ColumnOf(const PixelBox& plot, size_t seconds, size_t age);

// A band filled from one colour at its bottom row to another at its top.
struct ChartBand {
  PixelBox box;
  Rgb bottom;
  Rgb top;
  bool operator==(const ChartBand&) const = default;
};

// A line across the plot at a row, with its figure to the left.
struct ChartGridRow {
  int row = 0;
  PlacedText figure;
  bool operator==(const ChartGridRow&) const = default;
};

// A tick below the plot at a column, [plot.bottom, plot.bottom + tickLength), and its label.
struct ChartTimeMark {
  int column = 0;
  PlacedText label;
  bool operator==(const ChartTimeMark&) const = default;
};

// What changes only with the size, the scale, the span or the palette, so a view may keep it
// drawn: the sound levels as bands with their names, the scale and the time marks.
struct ChartBackdrop {
  PixelBox chart;
  PixelBox plot;
  Rgb background;  // around the plot
  Rgb plotBackground;
  Rgb grid;  // the rows and the ticks, one pixel wide
  std::vector<ChartBand> bands;
  std::vector<PlacedText> bandNames;
  std::vector<ChartGridRow> rows;
  std::vector<ChartTimeMark> marks;
  int tickLength = 1;

  bool operator==(const ChartBackdrop&) const = default;
};

struct ChartPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ChartPoint&) const = default;
};

// Seconds spent in a jam, hatched so that the bands still show through.
struct ChartJam {
  PixelBox strip;
  std::optional<PlacedText> label;  // where it fits
  bool operator==(const ChartJam&) const = default;
};

struct ChartAverage {
  int row = 0;  // a dashed line across the plot
  int width = 1;
  Rgb colour;
  PlacedText label;
  bool operator==(const ChartAverage&) const = default;
};

// What changes with every point, drawn over the backdrop.
struct ChartData {
  std::vector<ChartJam> jams;
  Rgb jam;
  // The consumption as runs of points, broken where there was no data; a lone second is a
  // run of two points a pixel apart, so that it still shows.
  std::vector<std::vector<ChartPoint>> runs;
  int lineWidth = 2;  // round caps and joins
  Rgb line;
  std::optional<ChartAverage> average;

  bool operator==(const ChartData&) const = default;
};

ChartBackdrop PlanBackdrop(const DashLayout& layout, const ChartView& view,
                           const DashColours& colours, const TextWidth& widthOf);
ChartData PlanData(const DashLayout& layout, const ConsumptionHistory& history,
                   const ChartView& view, const DashColours& colours, const TextWidth& widthOf);

}  // namespace drunvale
