// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dash_palette.h"

namespace drunvale {
namespace {

QColor Q(Rgb c) {
  return QColor(c.red, c.green, c.blue);
}

Rgb FromQ(const QColor& c) {
  return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
          static_cast<uint8_t>(c.blue())};
}

DashPalette FromColours(const DashColours& c) {
  return {Q(c.background), Q(c.digits),  Q(c.text),    Q(c.chartBackground), Q(c.grid), Q(c.line),
          Q(c.average),    Q(c.minBand), Q(c.maxBand), Q(c.overBand),        Q(c.jam)};
}

}  // namespace

DashPalette DayPalette(const QColor& dayDigits) {
  return FromColours(DayColours(FromQ(dayDigits)));
}

DashPalette NightPalette(const QColor& dayDigits, int brightness) {
  return FromColours(NightColours(FromQ(dayDigits), brightness));
}

}  // namespace drunvale
