// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dash/dash_colours.h"
#include "dash/dash_figures.h"

namespace drunvale {

// A box of pixels, half-open: [left, right) × [top, bottom).
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool operator==(const PixelBox&) const = default;
};

// The dash's faces: the first three the indicator's bold one, the labels a plain one. Each
// view picks its own font for each.
enum class DashFont : uint8_t { Digits, Unit, Figures, Labels };

// How wide a text is in a face at a pixel size, as the view will draw it.
using TextWidth = std::function<int(DashFont font, int pixels, std::string_view text)>;

enum class HAlign : uint8_t { Left, Centre, Right };
// Baseline: the text stands on the box's bottom edge, its descenders below.
enum class VAlign : uint8_t { Top, Centre, Bottom, Baseline };

// One text to draw, aligned in its box; it may reach beyond the box.
struct PlacedText {
  std::string text;
  PixelBox box;
  DashFont font = DashFont::Labels;
  int pixels = 1;
  HAlign horizontal = HAlign::Left;
  VAlign vertical = VAlign::Top;
  Rgb colour;

  bool operator==(const PlacedText&) const = default;
};

// Where the dash's parts lie in a window of a size, and their faces' sizes.
struct DashLayout {
  PixelBox window;
  PixelBox digits;   // the current consumption and its unit
  PixelBox figures;  // the trip's key figures, in four columns
  PixelBox chart;    // the strip chart with its scale and time marks
  PixelBox plot;     // inside the chart, where the points go
  int margin = 6;
  int digitPixels = 1;  // the widest digits just fit beside the widest unit
  int unitPixels = 8;
  int figurePixels = 11;
  int labelPixels = 11;
  int labelHeight = 13;  // a label's line
  int labelGap = 6;      // between the scale's figures and the plot
  int lineWidth = 2;     // the consumption's line

  bool operator==(const DashLayout&) const = default;
};

DashLayout LayOutDash(int width, int height, const TextWidth& widthOf);

// The digits right-aligned before the unit, narrowed when wider than the widest expected
// ("8^0", a three-figure l/h); the unit at the right edge.
std::vector<PlacedText> PlaceDigits(const DashLayout& layout, const DashFrame& frame,
                                    const DashColours& colours, const TextWidth& widthOf);
// The four figures centred in their columns, all narrowed alike when one is too wide.
std::vector<PlacedText> PlaceFigures(const DashLayout& layout, const DashFigures& figures,
                                     const DashColours& colours, const TextWidth& widthOf);

}  // namespace drunvale
