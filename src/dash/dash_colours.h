// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/indicator_colours.h"

namespace drunvale {

// The dash's colours, for any view. By day it is the indicator writ large: its grey and its
// digit colours; by night black with dim amber, as bright as the driver set it. The bands are
// opaque, as they look over the chart's background.
struct DashColours {
  Rgb background;
  Rgb digits;
  Rgb text;  // figures, labels
  Rgb chartBackground;
  Rgb grid;
  Rgb line;  // the consumption
  Rgb average;
  Rgb minBand;  // the band's bottom, where the Min level's sound plays
  Rgb maxBand;  // its top, where the Max level's does
  Rgb overBand;
  Rgb jam;
};

// dayDigits: the colour the indicator gives its digits now (unit, stale data).
DashColours DayColours(Rgb dayDigits);
// brightness: percent of full amber.
DashColours NightColours(Rgb dayDigits, int brightness);

// The day colour as night amber: white gives full amber, the light yellow of l/100 km a
// yellower one, grey a dimmer one, all scaled by the brightness.
Rgb NightTint(Rgb day, int brightness);

// Hue, saturation and value each from 0 to 1.
Rgb FromHsv(double hue, double saturation, double value);
// From `from` (at 0) to `to` (at 1).
Rgb Mix(Rgb from, Rgb to, double at);

}  // namespace drunvale
