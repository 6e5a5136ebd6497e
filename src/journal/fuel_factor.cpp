// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/fuel_factor.h"

#include <cstdio>

namespace drunvale {

uint32_t FactorOrOne(std::optional<uint32_t> stored) {
  if (!stored || *stored < kFactorLowest || *stored > kFactorHighest) return kFactorOne;
  return *stored;
}

std::string FormatFactor(uint32_t parts) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%04u", parts / 10000, parts % 10000);
  return text;
}

}  // namespace drunvale
