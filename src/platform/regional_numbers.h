// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale {

// How the user's regional settings write a list of numbers, as spreadsheet programs read a
// CSV file by them: Russian settings separate by ';' with a decimal comma, English ones by ','
// with a decimal point.
struct RegionalNumbers {
  char listSeparator = ',';
  char decimalPoint = '.';

  bool operator==(const RegionalNumbers&) const = default;
};

// The user's own: the list separator and decimal sign of the regional settings on Windows, the
// locale's decimal sign on Linux (with ';' beside a decimal comma). Never a separator that is
// also the decimal sign.
RegionalNumbers UserRegionalNumbers();

}  // namespace drunvale
