// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/chart_plan.h"

#include <algorithm>
#include <cmath>

#include "dash/dash_texts.h"
#include "trip/fixed_format.h"

namespace drunvale {
namespace {

std::string Figure(float value) {
  std::string text;
  AppendFixed(text, value, value == std::floor(value) ? 0 : 1);
  return text;
}

std::string MarkText(size_t age) {
  if (age == 0) return std::string(dash_text::kNow);
  return std::string(dash_text::kMinus) + std::to_string(age / 60) + " " +
         std::string(dash_text::kMinutes);
}

PlacedText Label(std::string text, PixelBox box, const DashLayout& layout, HAlign h, VAlign v,
                 Rgb colour) {
  return {std::move(text), box, DashFont::Labels, layout.labelPixels, h, v, colour};
}

// The band where the beeps follow the consumption, its colour moving from the Min level's
// towards the Max level's as the value nears the limit; the Over band above it.
void PlanBands(ChartBackdrop& plan, const DashLayout& layout, const ChartScale& scale,
               const DashColours& colours) {
  const PixelBox& plot = plan.plot;
  const int lh = layout.labelHeight;
  const int limitRow = RowOf(plot, scale, scale.overLimit);
  if (scale.overLimit > 0) {
    plan.bands.push_back(
        {{plot.left, limitRow, plot.right, plot.bottom}, colours.minBand, colours.maxBand});
  }
  plan.bands.push_back(
      {{plot.left, plot.top, plot.right, limitRow}, colours.overBand, colours.overBand});
  const int left = plot.left + lh / 4;
  const int right = plot.right - lh / 4;
  if (scale.overLimit > 0) {
    plan.bandNames.push_back(Label(std::string(dash_text::kMinBand),
                                   {left, limitRow, right, plot.bottom}, layout, HAlign::Right,
                                   VAlign::Bottom, colours.text));
    plan.bandNames.push_back(Label(std::string(dash_text::kMaxBand),
                                   {left, limitRow, right, limitRow + lh}, layout, HAlign::Right,
                                   VAlign::Top, colours.text));
  }
  if (limitRow - plot.top >= lh) {
    plan.bandNames.push_back(Label(std::string(dash_text::kOverBand),
                                   {left, limitRow - lh, right, limitRow}, layout, HAlign::Right,
                                   VAlign::Bottom, colours.text));
  }
}

void PlanScale(ChartBackdrop& plan, const DashLayout& layout, const ChartView& view,
               const DashColours& colours, const TextWidth& widthOf) {
  const PixelBox& plot = plan.plot;
  const int lh = layout.labelHeight;
  const ChartScale& scale = view.scale;
  for (float value = 0; value <= scale.top + scale.gridStep / 2; value += scale.gridStep) {
    const int row = RowOf(plot, scale, value);
    const PixelBox box{plan.chart.left, row - lh / 2, plot.left - layout.labelGap,
                       row - lh / 2 + lh};
    plan.rows.push_back(
        {row, Label(Figure(value), box, layout, HAlign::Right, VAlign::Centre, colours.text)});
  }
  // Every 5 minutes back from now (10 over the long span), "сейчас" at the right.
  const size_t markSeconds = view.seconds > 900 ? 600 : 300;
  plan.tickLength = std::max(1, lh / 4);
  for (size_t age = 0; age < view.seconds; age += markSeconds) {
    const int column = static_cast<int>(std::lround(ColumnOf(plot, view.seconds, age)));
    std::string text = MarkText(age);
    const int width = widthOf(DashFont::Labels, layout.labelPixels, text);
    const int left =
        std::clamp(column - width / 2, plot.left, std::max(plot.left, plot.right - width));
    const PixelBox box{left, plot.bottom + 2, left + width, plot.bottom + 2 + lh};
    plan.marks.push_back(
        {column, Label(std::move(text), box, layout, HAlign::Left, VAlign::Top, colours.text)});
  }
}

void PlanJams(ChartData& plan, const DashLayout& layout, const ConsumptionHistory& history,
              const ChartView& view, const DashColours& colours, const TextWidth& widthOf) {
  const PixelBox& plot = layout.plot;
  const size_t count = std::min(view.seconds, history.Size());
  const double half = double(plot.Width() - 1) / double(view.seconds - 1) / 2;
  const int labelWidth = widthOf(DashFont::Labels, layout.labelPixels, dash_text::kJam);
  for (size_t age = 0; age < count;) {
    if (history.At(age).kind != PointKind::Jam) {
      ++age;
      continue;
    }
    const size_t newest = age;
    while (age < count && history.At(age).kind == PointKind::Jam)
      ++age;
    const int left = std::max<int>(
        static_cast<int>(std::lround(ColumnOf(plot, view.seconds, age - 1) - half)), plot.left);
    const int right = std::min<int>(
        static_cast<int>(std::lround(ColumnOf(plot, view.seconds, newest) + half)) + 1, plot.right);
    ChartJam jam{{left, plot.top, right, plot.bottom}, std::nullopt};
    if (labelWidth < right - left) {
      jam.label = Label(std::string(dash_text::kJam), {left + 4, plot.top + 2, right, plot.bottom},
                        layout, HAlign::Left, VAlign::Top, colours.text);
    }
    plan.jams.push_back(std::move(jam));
  }
}

void PlanLine(ChartData& plan, const PixelBox& plot, const ConsumptionHistory& history,
              const ChartView& view) {
  std::vector<ChartPoint> run;
  const auto flush = [&] {
    if (run.size() == 1) run.push_back({run[0].x + 1, run[0].y});
    if (!run.empty()) plan.runs.push_back(std::move(run));
    run.clear();
  };
  for (size_t age = std::min(view.seconds, history.Size()); age-- > 0;) {
    const std::optional<float> value = PointValue(history.At(age), view.litresPerHour);
    if (!value) {
      flush();  // a gap stays empty
      continue;
    }
    run.push_back({static_cast<int>(std::lround(ColumnOf(plot, view.seconds, age))),
                   RowOf(plot, view.scale, *value)});
  }
  flush();
}

ChartAverage PlanAverage(const DashLayout& layout, const ChartView& view, float average,
                         const DashColours& colours) {
  const PixelBox& plot = layout.plot;
  const int lh = layout.labelHeight;
  const int row = RowOf(plot, view.scale, average);
  const std::string text =
      std::string(dash_text::kAverage) + " " + Figure(std::round(average * 10) / 10);
  return {row, std::max(1, layout.lineWidth / 2), colours.average,
          Label(text, {plot.left + lh / 4, row - lh, plot.left + plot.Width() / 2, row}, layout,
                HAlign::Left, VAlign::Bottom, colours.average)};
}

}  // namespace

int RowOf(const PixelBox& plot, const ChartScale& scale, float value) {
  const float clamped = std::clamp(value, 0.0f, scale.top);
  return plot.bottom - 1 -
         static_cast<int>(std::lround(clamped / scale.top * float(plot.Height() - 1)));
}

double ColumnOf(const PixelBox& plot, size_t seconds, size_t age) {
  const double step = double(plot.Width() - 1) / double(seconds - 1);
  return plot.right - 1 - double(age) * step;
}

ChartBackdrop PlanBackdrop(const DashLayout& layout, const ChartView& view,
                           const DashColours& colours, const TextWidth& widthOf) {
  ChartBackdrop plan;
  plan.chart = layout.chart;
  plan.plot = layout.plot;
  plan.background = colours.background;
  plan.plotBackground = colours.chartBackground;
  plan.grid = colours.grid;
  PlanBands(plan, layout, view.scale, colours);
  PlanScale(plan, layout, view, colours, widthOf);
  return plan;
}

ChartData PlanData(const DashLayout& layout, const ConsumptionHistory& history,
                   const ChartView& view, const DashColours& colours, const TextWidth& widthOf) {
  ChartData plan;
  plan.jam = colours.jam;
  plan.line = colours.line;
  plan.lineWidth = layout.lineWidth;
  PlanJams(plan, layout, history, view, colours, widthOf);
  PlanLine(plan, layout.plot, history, view);
  if (view.average) plan.average = PlanAverage(layout, view, *view.average, colours);
  return plan;
}

}  // namespace drunvale
