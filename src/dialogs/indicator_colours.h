// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  constexpr bool operator==(const Rgb&) const = default;
};

// The consumption indicator's field, whatever it shows.
inline constexpr Rgb kIndicatorBackground{128, 128, 128};

// The indicator's digits: white in litres per hour, light yellow in litres per 100 km, and a
// dark grey, darker than the field, while the figure is stale (no data from the control unit):
// a glance tells an old figure from a live one, in either unit.
constexpr Rgb IndicatorTextColour(bool litresPerHour, bool stale) {
  if (stale) return {64, 64, 64};
  return litresPerHour ? Rgb{255, 255, 255} : Rgb{255, 255, 128};
}

}  // namespace drunvale
