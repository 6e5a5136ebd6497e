// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace drunvale {

// The dash's colours. By day it is the indicator writ large: its grey and its digit colours;
// by night black with dim amber, as bright as the driver set it.
struct DashPalette {
  QColor background;
  QColor digits;
  QColor text;  // figures, labels
  QColor chartBackground;
  QColor grid;
  QColor line;  // the consumption
  QColor average;
  QColor minBand;  // the band's bottom, where the Min level's sound plays
  QColor maxBand;  // its top, where the Max level's does
  QColor overBand;
  QColor jam;
};

// dayDigits: the colour the indicator gives its digits now (unit, stale data).
DashPalette DayPalette(const QColor& dayDigits);
// brightness: percent of full amber.
DashPalette NightPalette(const QColor& dayDigits, int brightness);

// The day colour as night amber: white gives full amber, the light yellow of l/100 km a
// yellower one, grey a dimmer one, all scaled by the brightness.
QColor NightTint(const QColor& day, int brightness);

}  // namespace drunvale
