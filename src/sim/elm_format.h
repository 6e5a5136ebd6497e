// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the simulated ELM327 reads from its command lines and writes back, without any state.
namespace drunvale::sim {

// Hex digit pairs, nothing else; none when a digit is odd or not hex.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);

// A request line: hex byte pairs, optionally one more digit for how many answers to wait for.
struct HexRequest {
  std::vector<uint8_t> data;
  int expectedAnswers = 0;  // 0: wait out the timer
};
std::optional<HexRequest> ParseHexRequest(std::string_view line);

// Two hex digits a byte, a space between them when asked.
std::string HexText(const uint8_t* bytes, size_t n, bool spaces);

// AT DP's words for a protocol number (0 to 12).
std::string ProtocolName(int protocol);

// An ISO 14230 frame as the chip builds it from AT SH's three bytes: the format byte keeps its
// top two bits and takes the length, unless its low six bits are zero, in which case the length
// follows the addresses in a byte of its own. The additive checksum closes it.
std::vector<uint8_t> Iso14230Frame(const std::array<uint8_t, 3>& header,
                                   const std::vector<uint8_t>& data);

// The size of a received frame's header: three bytes, or four with a length byte.
size_t Iso14230HeaderSize(const std::vector<uint8_t>& frame);

}  // namespace drunvale::sim
