// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace drunvale {

// How the settings dialog reads and writes the numbers in its edits. Every function works in
// the "C" locale whatever the process's locale is, so a price typed as "45.50" means the same
// on every machine.

// A whole decimal number filling the text (leading blanks and one sign allowed), as an up-down
// control reads its buddy edit. Long digit strings saturate far beyond any control's range.
// Nothing for an empty or unreadable text.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// The number an edit holds, 0 when it holds none.
inline int64_t NumberOrZero(std::string_view text) {
  return ParseWholeNumber(text).value_or(0);
}

// The playback rate typed into its edit: 0 when unreadable or negative, at most 2^32 - 1.
uint32_t ReadRate(std::string_view text);

// The C library's atof: the longest leading decimal number, 0 when there is none.
double ReadDecimal(std::string_view text);

// printf's "%0.02f".
std::string FormatFixed2(double value);

// Prices lie within 0 to 1000 roubles; anything else, not-a-number included, is brought inside.
inline constexpr double kMaxFuelPrice = 1000;
double ClampPrice(double price);

}  // namespace drunvale
