// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/dialog_numbers.h"

#include <charconv>
#include <limits>

#include "platform/c_locale_number.h"

namespace drunvale {
namespace {

constexpr int64_t kSaturation = int64_t{1} << 40;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  int64_t n = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    n = std::min(n * 10 + (c - '0'), kSaturation);
  }
  return negative ? -n : n;
}

uint32_t ReadRate(std::string_view text) {
  const int64_t n = NumberOrZero(text);
  if (n < 0) return 0;
  return static_cast<uint32_t>(std::min<int64_t>(n, std::numeric_limits<uint32_t>::max()));
}

double ReadDecimal(std::string_view text) {
  const std::string terminated(text.substr(0, text.find('\0')));
  return StrtodInCLocale(terminated.c_str());
}

std::string FormatFixed2(double value) {
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  if (ec != std::errc()) return "0.00";
  return std::string(buffer, end);
}

double ClampPrice(double price) {
  if (!(price > 0)) return 0;  // negatives, minus zero and not-a-number
  return price > kMaxFuelPrice ? kMaxFuelPrice : price;
}

}  // namespace drunvale
