// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

#include "dash/chart_plan.h"

class QPainter;

namespace drunvale {

// The dash's faces in Qt: the indicator's bold one, and the window's own for the labels.
struct DashFaces {
  QFont bold;
  QFont labels;

  QFont At(DashFont font, int pixels) const;
  int Width(DashFont font, int pixels, std::string_view text) const;
};

QRect ToQRect(const PixelBox& box);
void PaintText(QPainter& painter, const PlacedText& text, const DashFaces& faces);
// The chart's two layers as the dash plans them.
void PaintBackdrop(QPainter& painter, const ChartBackdrop& plan, const DashFaces& faces);
void PaintData(QPainter& painter, const ChartData& plan, const PixelBox& plot,
               const DashFaces& faces);

}  // namespace drunvale
