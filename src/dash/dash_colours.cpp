// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_colours.h"

#include <algorithm>
#include <cmath>

namespace drunvale {
namespace {

constexpr double kAmberHue = 0.105;  // about 38 degrees
constexpr double kYellowerBy = 0.06;
constexpr Rgb kDayChart{104, 104, 104};

Rgb Amber(double value, double saturation = 1.0) {
  return FromHsv(kAmberHue, saturation, value);
}

uint8_t Channel(double unit) {
  return static_cast<uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255));
}

}  // namespace

Rgb FromHsv(double hue, double saturation, double value) {
  const double h = (hue - std::floor(hue)) * 6;
  const int sector = static_cast<int>(h) % 6;
  const double f = h - std::floor(h);
  const double p = value * (1 - saturation);
  const double q = value * (1 - saturation * f);
  const double t = value * (1 - saturation * (1 - f));
  double r = value, g = t, b = p;
  switch (sector) {
    case 1:
      r = q, g = value, b = p;
      break;
    case 2:
      r = p, g = value, b = t;
      break;
    case 3:
      r = p, g = q, b = value;
      break;
    case 4:
      r = t, g = p, b = value;
      break;
    case 5:
      r = value, g = p, b = q;
      break;
    default:
      break;
  }
  return {Channel(r), Channel(g), Channel(b)};
}

Rgb Mix(Rgb from, Rgb to, double at) {
  const auto mix = [at](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * std::clamp(at, 0.0, 1.0)));
  };
  return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

Rgb NightTint(Rgb day, int brightness) {
  const int high = std::max({day.red, day.green, day.blue});
  const int low = std::min({day.red, day.green, day.blue});
  const double value = high / 255.0;
  const double saturation = high == 0 ? 0 : double(high - low) / high;
  return FromHsv(kAmberHue + kYellowerBy * saturation, 1.0, value * brightness / 100.0);
}

DashColours DayColours(Rgb dayDigits) {
  DashColours c;
  c.background = kIndicatorBackground;
  c.digits = dayDigits;
  c.text = {255, 255, 255};
  c.chartBackground = kDayChart;
  c.grid = {136, 136, 136};
  c.line = {255, 255, 255};
  c.average = {255, 255, 128};
  // Greenish to yellowish to red, muted by the chart's grey showing through.
  c.minBand = Mix(kDayChart, {80, 150, 80}, 150 / 255.0);
  c.maxBand = Mix(kDayChart, {170, 170, 60}, 150 / 255.0);
  c.overBand = Mix(kDayChart, {190, 70, 60}, 160 / 255.0);
  c.jam = {40, 60, 150};
  return c;
}

DashColours NightColours(Rgb dayDigits, int brightness) {
  const double b = brightness / 100.0;
  DashColours c;
  c.background = {0, 0, 0};
  c.digits = NightTint(dayDigits, brightness);
  c.text = Amber(0.8 * b);
  c.chartBackground = {0, 0, 0};
  c.grid = Amber(0.3 * b);
  c.line = Amber(b);
  c.average = Amber(0.9 * b, 0.55);
  // The bands stay faint beside the line; a band is told from the next by its depth of amber.
  c.minBand = Amber(0.18 * b);
  c.maxBand = Amber(0.28 * b);
  c.overBand = FromHsv(0.02, 1.0, 0.35 * b);
  c.jam = Amber(0.45 * b);
  return c;
}

}  // namespace drunvale
