// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dash_palette.h"

#include "ui/consumption_indicator.h"

namespace drunvale {
namespace {

constexpr double kAmberHue = 0.105;  // about 38 degrees
constexpr double kYellowerBy = 0.06;

QColor Amber(double value, double saturation = 1.0, int alpha = 255) {
  QColor colour = QColor::fromHsvF(kAmberHue, saturation, value);
  colour.setAlpha(alpha);
  return colour;
}

}  // namespace

QColor NightTint(const QColor& day, int brightness) {
  const double scale = brightness / 100.0;
  return QColor::fromHsvF(kAmberHue + kYellowerBy * day.hsvSaturationF(), 1.0,
                          day.valueF() * scale);
}

DashPalette DayPalette(const QColor& dayDigits) {
  DashPalette p;
  p.background = ConsumptionIndicator::Background();
  p.digits = dayDigits;
  p.text = QColor(255, 255, 255);
  p.chartBackground = QColor(104, 104, 104);
  p.grid = QColor(136, 136, 136);
  p.line = QColor(255, 255, 255);
  p.average = QColor(255, 255, 128);
  p.minBand = QColor(80, 150, 80, 150);
  p.maxBand = QColor(170, 170, 60, 150);
  p.overBand = QColor(190, 70, 60, 160);
  p.jam = QColor(40, 60, 150);
  return p;
}

DashPalette NightPalette(const QColor& dayDigits, int brightness) {
  const double b = brightness / 100.0;
  DashPalette p;
  p.background = QColor(0, 0, 0);
  p.digits = NightTint(dayDigits, brightness);
  p.text = Amber(0.8 * b);
  p.chartBackground = QColor(0, 0, 0);
  p.grid = Amber(0.3 * b);
  p.line = Amber(b);
  p.average = Amber(0.9 * b, 0.55);
  // The bands stay faint beside the line; a band is told from the next by its depth of amber.
  p.minBand = Amber(0.18 * b, 1.0, 255);
  p.maxBand = Amber(0.28 * b, 1.0, 255);
  p.overBand = QColor::fromHsvF(0.02, 1.0, 0.35 * b);
  p.jam = Amber(0.45 * b);
  return p;
}

}  // namespace drunvale
