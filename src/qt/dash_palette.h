// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include "dash/dash_colours.h"

namespace drunvale {

// The dash's colours (see DashColours) as Qt takes them.
struct DashPalette {
  QColor background;
  QColor digits;
  QColor text;
  QColor chartBackground;
  QColor grid;
  QColor line;
  QColor average;
  QColor minBand;
  QColor maxBand;
  QColor overBand;
  QColor jam;
};

// dayDigits: the colour the indicator gives its digits now (unit, stale data).
DashPalette DayPalette(const QColor& dayDigits);
// brightness: percent of full amber.
DashPalette NightPalette(const QColor& dayDigits, int brightness);

}  // namespace drunvale
