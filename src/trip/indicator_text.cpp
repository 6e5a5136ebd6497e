// SPDX-License-Identifier: GPL-3.0-or-later
#include "trip/indicator_text.h"

#include "trip/fixed_format.h"
#include "trip/panel_captions.h"

namespace drunvale {

namespace {

std::string OneDecimal(float value) {
  std::string text;
  AppendFixed(text, value, 1);
  return text;
}

}  // namespace

std::string FormatPer100(const TripFigures& current) {
  if (current.Distance < 0.00001f) return "8^0";
  const float per100 = current.Fuel / current.Distance * 100.0f;
  if (per100 >= 99.0f) return "99+";
  return OneDecimal(per100);
}

std::string FormatIndicator(const TripFigures& current, bool litresPerHour) {
  return litresPerHour ? OneDecimal(current.Fuel) : FormatPer100(current);
}

std::string_view IndicatorCaption(bool litresPerHour) {
  return litresPerHour ? kIndicatorCaptionLitresPerHour : kIndicatorCaptionLitresPer100;
}

}  // namespace drunvale
