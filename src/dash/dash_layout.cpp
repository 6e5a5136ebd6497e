// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_layout.h"

#include <algorithm>

namespace drunvale {
namespace {

// The widest digits either unit shows in practice.
constexpr std::string_view kWidestDigits = "88.8";
// For the indicator's face the digits stand about 0.74 of the pixel size tall.
constexpr int kDigitsTallPercent = 74;
constexpr int kFigureRoomPercent = 92;
constexpr int kFigureColumns = 4;

int WidestUnit(const TextWidth& widthOf, int pixels) {
  return std::max(widthOf(DashFont::Unit, pixels, UnitName(true)),
                  widthOf(DashFont::Unit, pixels, UnitName(false)));
}

// The largest pixel size, up to `tallest`, at which `text` fits `room`.
int FittingPixels(const TextWidth& widthOf, DashFont font, std::string_view text, int room,
                  int tallest) {
  tallest = std::max(1, tallest);
  const int width = widthOf(font, tallest, text);
  if (width <= room) return tallest;
  return std::max(1, tallest * room / width);
}

PixelBox PlotIn(const PixelBox& chart, const DashLayout& layout, const TextWidth& widthOf) {
  // Room on the left for the scale's figures and below for the time marks.
  const int figures = widthOf(DashFont::Labels, layout.labelPixels, "000");
  return {chart.left + figures + layout.labelGap, chart.top + layout.labelHeight / 2, chart.right,
          chart.bottom - layout.labelHeight - 2};
}

}  // namespace

DashLayout LayOutDash(int width, int height, const TextWidth& widthOf) {
  DashLayout l;
  l.window = {0, 0, width, height};
  l.margin = std::max(6, height / 60);
  const int m = l.margin;
  l.digits = {m, m, width - m, m + height * 40 / 100};
  l.figures = {m, l.digits.bottom, width - m, l.digits.bottom + height * 10 / 100};
  l.chart = {m, l.figures.bottom + m / 2, width - m, height - m};

  // Digits as tall as their part allows, unless the widest would then not fit beside the unit.
  l.unitPixels = std::max(8, l.digits.Height() / 7);
  const int unitRoom = WidestUnit(widthOf, l.unitPixels) + m;
  l.digitPixels =
      FittingPixels(widthOf, DashFont::Digits, kWidestDigits, l.digits.Width() - unitRoom,
                    l.digits.Height() * 100 / kDigitsTallPercent);
  l.figurePixels = std::max(11, l.figures.Height() * 45 / 100);
  l.labelPixels = std::max(11, height / 40);
  l.labelHeight = l.labelPixels * 5 / 4;
  l.labelGap = std::max(1, widthOf(DashFont::Labels, l.labelPixels, "0"));
  l.plot = PlotIn(l.chart, l, widthOf);
  l.lineWidth = std::max(2, l.chart.Height() / 150);
  return l;
}

std::vector<PlacedText> PlaceDigits(const DashLayout& layout, const DashFrame& frame,
                                    const DashColours& colours, const TextWidth& widthOf) {
  const PixelBox& box = layout.digits;
  const int baseline = box.bottom - box.Height() / 20;
  const int room = box.Width() - WidestUnit(widthOf, layout.unitPixels) - box.Height() / 20;
  int pixels = layout.digitPixels;
  const int width = widthOf(DashFont::Digits, pixels, frame.digits);
  if (width > room) pixels = std::max(1, pixels * room / width);
  return {
      {UnitName(frame.litresPerHour),
       {box.left, box.top, box.right, baseline},
       DashFont::Unit,
       layout.unitPixels,
       HAlign::Right,
       VAlign::Baseline,
       colours.text},
      {frame.digits,
       {box.left, box.top, box.left + room, baseline},
       DashFont::Digits,
       pixels,
       HAlign::Right,
       VAlign::Baseline,
       colours.digits},
  };
}

std::vector<PlacedText> PlaceFigures(const DashLayout& layout, const DashFigures& figures,
                                     const DashColours& colours, const TextWidth& widthOf) {
  const PixelBox& box = layout.figures;
  const std::string* texts[] = {&figures.average, &figures.distance, &figures.litres,
                                &figures.money};
  const int columnWidth = box.Width() / kFigureColumns;
  int widest = 0;
  for (const std::string* text : texts)
    widest = std::max(widest, widthOf(DashFont::Figures, layout.figurePixels, *text));
  const int room = columnWidth * kFigureRoomPercent / 100;
  const int pixels =
      widest > room ? std::max(1, layout.figurePixels * room / widest) : layout.figurePixels;
  std::vector<PlacedText> placed;
  for (int i = 0; i < kFigureColumns; ++i) {
    const PixelBox cell{box.left + i * columnWidth, box.top, box.left + (i + 1) * columnWidth,
                        box.bottom};
    placed.push_back(
        {*texts[i], cell, DashFont::Figures, pixels, HAlign::Centre, VAlign::Centre, colours.text});
  }
  return placed;
}

}  // namespace drunvale
