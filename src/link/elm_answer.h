// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace drunvale {

// What an ELM327-compatible chip answered to one command, up to its prompt: the data lines as
// bytes and every other line as a status, each in the order it came.
struct ElmAnswer {
  std::vector<std::vector<uint8_t>> data;
  std::vector<std::string> statuses;
  // A data line the chip flagged with "<DATA ERROR" (its checksum was wrong): kept apart.
  bool dataError = false;

  bool Has(std::string_view status) const;
  // A status that begins so ("BUS INIT:", "ERR").
  bool HasPrefix(std::string_view prefix) const;
  // "?": the chip did not take the command (a clone without it).
  bool NotUnderstood() const { return Has("?"); }
  // "OK" alone or after the chip's own chatter.
  bool Ok() const { return Has("OK"); }
};

// Splits the text before the prompt: NUL bytes dropped, lines split on CR and LF, empty lines
// and the echo of `command` dropped; a line is data only when all of it (spaces aside) is hex
// with an even count of digits, so "FB ERROR" and clone chatter stay statuses.
ElmAnswer ParseElmAnswer(std::string_view text, std::string_view command);

// The request's hex text, "2101" for {0x21, 0x01}.
std::string ElmHex(const uint8_t* bytes, size_t n);

}  // namespace drunvale
