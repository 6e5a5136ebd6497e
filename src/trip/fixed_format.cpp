// SPDX-License-Identifier: GPL-3.0-or-later
#include "trip/fixed_format.h"

#include <charconv>

namespace drunvale {

void AppendFixed(std::string& out, double value, int precision) {
  // Room for the largest double in fixed notation (309 digits) with sign, point and decimals.
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (error == std::errc{}) out.append(buffer, end);
}

}  // namespace drunvale
