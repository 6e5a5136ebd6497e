// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/dash_painter.h"

#include <algorithm>
#include <vector>

#include "dialogs/indicator_look.h"
#include "platform/windows/wide_text.h"

namespace drunvale::win32 {
namespace {

// Past this many sizes (a long drive of narrowed digits) the fonts are made anew.
constexpr size_t kMostFonts = 64;

COLORREF C(Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

RECT ToRect(const PixelBox& box) {
  return {box.left, box.top, box.right, box.bottom};
}

HPEN GeometricPen(DWORD style, int width, Rgb colour) {
  LOGBRUSH brush{BS_SOLID, C(colour), 0};
  return ExtCreatePen(PS_GEOMETRIC | style | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                      static_cast<DWORD>(width), &brush, 0, nullptr);
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

// Stepped every two rows: GDI has no gradient brush.
void PaintBand(HDC dc, const ChartBand& band) {
  const PixelBox& box = band.box;
  const int span = std::max(1, box.Height());
  for (int row = box.top; row < box.bottom; row += 2) {
    const double at = double(box.bottom - row) / span;
    Fill(dc, {box.left, row, box.right, std::min(row + 2, box.bottom)},
         Mix(band.bottom, band.top, at));
  }
}

UINT FormatOf(const PlacedText& text) {
  const UINT h = text.horizontal == HAlign::Left     ? DT_LEFT
                 : text.horizontal == HAlign::Centre ? DT_CENTER
                                                     : DT_RIGHT;
  const UINT v = text.vertical == VAlign::Top      ? DT_TOP
                 : text.vertical == VAlign::Centre ? DT_VCENTER
                                                   : DT_BOTTOM;
  return h | v | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
}

}  // namespace

DashFonts::~DashFonts() {
  Clear();
}

HFONT DashFonts::At(DashFont font, int pixels) {
  pixels = std::max(1, pixels);
  HFONT& made = fonts_[{font, pixels}];
  if (!made) {
    const int weight = font == DashFont::Labels ? FW_NORMAL : kIndicatorWeight;
    made = CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, WideFromUtf8(kIndicatorFace).c_str());
  }
  return made;
}

int DashFonts::Width(HDC dc, DashFont font, int pixels, std::string_view text) {
  if (fonts_.size() > kMostFonts) Clear();
  const std::wstring wide = WideFromUtf8(text);
  HGDIOBJ old = SelectObject(dc, At(font, pixels));
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  return size.cx;
}

void DashFonts::Clear() {
  for (const auto& [key, font] : fonts_)
    if (font) DeleteObject(font);
  fonts_.clear();
}

void Fill(HDC dc, const PixelBox& box, Rgb colour) {
  const RECT r = ToRect(box);
  SetBkColor(dc, C(colour));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void PaintText(HDC dc, const PlacedText& text, DashFonts& fonts) {
  const std::wstring wide = WideFromUtf8(text.text);
  HGDIOBJ old = SelectObject(dc, fonts.At(text.font, text.pixels));
  SetTextColor(dc, C(text.colour));
  if (text.vertical == VAlign::Baseline) {
    const PixelBox& b = text.box;
    const auto [align, x] = text.horizontal == HAlign::Left ? std::pair{TA_LEFT, b.left}
                            : text.horizontal == HAlign::Centre
                                ? std::pair{TA_CENTER, (b.left + b.right) / 2}
                                : std::pair{TA_RIGHT, b.right};
    SetTextAlign(dc, TA_BASELINE | align);
    ExtTextOutW(dc, x, b.bottom, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    SetTextAlign(dc, TA_TOP | TA_LEFT);
  } else {
    RECT r = ToRect(text.box);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, FormatOf(text));
  }
  SelectObject(dc, old);
}

void PaintBackdrop(HDC dc, const ChartBackdrop& plan, DashFonts& fonts) {
  const PixelBox& plot = plan.plot;
  Fill(dc, plan.chart, plan.background);
  Fill(dc, plot, plan.plotBackground);
  for (const ChartBand& band : plan.bands)
    PaintBand(dc, band);
  for (const PlacedText& name : plan.bandNames)
    PaintText(dc, name, fonts);
  HPEN grid = CreatePen(PS_SOLID, 1, C(plan.grid));
  HGDIOBJ oldPen = SelectObject(dc, grid);
  for (const ChartGridRow& row : plan.rows) {
    Line(dc, plot.left, row.row, plot.right, row.row);
    PaintText(dc, row.figure, fonts);
  }
  for (const ChartTimeMark& mark : plan.marks) {
    Line(dc, mark.column, plot.bottom, mark.column, plot.bottom + plan.tickLength);
    PaintText(dc, mark.label, fonts);
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);
}

void PaintData(HDC dc, const ChartData& plan, const PixelBox& plot, DashFonts& fonts) {
  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, C(plan.jam));
  for (const ChartJam& jam : plan.jams) {
    const RECT strip = ToRect(jam.strip);
    FillRect(dc, &strip, hatch);
    if (jam.label) PaintText(dc, *jam.label, fonts);
  }
  DeleteObject(hatch);
  HPEN line = GeometricPen(PS_SOLID, plan.lineWidth, plan.line);
  HGDIOBJ oldPen = SelectObject(dc, line);
  std::vector<POINT> points;
  for (const std::vector<ChartPoint>& run : plan.runs) {
    points.clear();
    for (const ChartPoint& point : run)
      points.push_back({point.x, point.y});
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SelectObject(dc, oldPen);
  DeleteObject(line);
  if (!plan.average) return;
  const ChartAverage& average = *plan.average;
  HPEN dashed = GeometricPen(PS_DASH, average.width, average.colour);
  oldPen = SelectObject(dc, dashed);
  Line(dc, plot.left, average.row, plot.right, average.row);
  SelectObject(dc, oldPen);
  DeleteObject(dashed);
  PaintText(dc, average.label, fonts);
}

}  // namespace drunvale::win32
