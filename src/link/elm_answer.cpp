// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/elm_answer.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace drunvale {
namespace {

constexpr std::string_view kDataErrorMark = "<DATA ERROR";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::vector<uint8_t>> HexLine(std::string_view line) {
  std::string digits;
  for (char c : line) {
    if (c == ' ') continue;
    if (HexDigit(c) < 0) return std::nullopt;
    digits += c;
  }
  if (digits.empty() || digits.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < digits.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
  return bytes;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

// The chip's echo: the command as sent, give or take case and spaces.
bool IsEcho(std::string_view line, std::string_view command) {
  std::string a, b;
  for (char c : line)
    if (c != ' ') a += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (char c : command)
    if (c != ' ' && c != '\r') b += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return !b.empty() && a == b;
}

}  // namespace

bool ElmAnswer::Has(std::string_view status) const {
  return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
}

bool ElmAnswer::HasPrefix(std::string_view prefix) const {
  return std::any_of(statuses.begin(), statuses.end(),
                     [prefix](const std::string& s) { return s.starts_with(prefix); });
}

ElmAnswer ParseElmAnswer(std::string_view text, std::string_view command) {
  ElmAnswer answer;
  std::string line;
  bool echoSeen = false;
  auto finish = [&] {
    std::string_view l = Trimmed(line);
    if (!l.empty()) {
      bool flagged = false;
      if (l.ends_with(kDataErrorMark)) {
        flagged = true;
        l = Trimmed(l.substr(0, l.size() - kDataErrorMark.size()));
      }
      if (!echoSeen && answer.data.empty() && answer.statuses.empty() && IsEcho(l, command)) {
        echoSeen = true;  // only the first line can be the echo: "0100" may answer "0100"
      } else if (auto bytes = HexLine(l); bytes && !flagged) {
        answer.data.push_back(std::move(*bytes));
      } else if (flagged) {
        answer.dataError = true;
      } else {
        answer.statuses.emplace_back(l);
      }
    }
    line.clear();
  };
  for (char c : text) {
    if (c == '\0' || c == '>') continue;
    if (c == '\r' || c == '\n') {
      finish();
    } else {
      line += c;
    }
  }
  finish();
  return answer;
}

std::string ElmHex(const uint8_t* bytes, size_t n) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < n; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

}  // namespace drunvale
