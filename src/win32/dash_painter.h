// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <map>
#include <string_view>
#include <utility>

#include "dash/chart_plan.h"

namespace drunvale::win32 {

// The dash's faces in GDI, each size made once: the indicator's face, bold but for the labels.
class DashFonts {
 public:
  DashFonts() = default;
  ~DashFonts();
  DashFonts(const DashFonts&) = delete;
  DashFonts& operator=(const DashFonts&) = delete;

  HFONT At(DashFont font, int pixels);
  int Width(HDC dc, DashFont font, int pixels, std::string_view text);
  void Clear();

 private:
  std::map<std::pair<DashFont, int>, HFONT> fonts_;
};

void Fill(HDC dc, const PixelBox& box, Rgb colour);
void PaintText(HDC dc, const PlacedText& text, DashFonts& fonts);
// The chart's two layers as the dash plans them.
void PaintBackdrop(HDC dc, const ChartBackdrop& plan, DashFonts& fonts);
void PaintData(HDC dc, const ChartData& plan, const PixelBox& plot, DashFonts& fonts);

}  // namespace drunvale::win32
