// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace drunvale {

inline constexpr uint8_t kEcuAddress = 0x10;
inline constexpr uint8_t kTesterAddress = 0xF1;

// Format, target, source, length byte, 255 data bytes, checksum.
inline constexpr size_t kMaxFrameSize = 260;
// The receive buffer holds a whole frame: 4 header bytes, the data and the checksum.
inline constexpr size_t kReceiveBufferSize = 256;
// Longest data that still fits the receive buffer as a frame with a length byte.
inline constexpr size_t kMaxBufferedDataLength = kReceiveBufferSize - 5;

// One KWP2000 frame with its ISO 14230 header and checksum, built in place.
struct KwpFrame {
  std::array<uint8_t, kMaxFrameSize> bytes{};
  size_t size = 0;

  const uint8_t* data() const { return bytes.data(); }
};

// The 8-bit sum of the bytes.
uint8_t KwpChecksum(const uint8_t* bytes, size_t n);

// The header carries the data length in the format byte for n <= 63, in a length byte after
// the addresses (format 0x80) for n >= 64.
KwpFrame BuildFrame(uint8_t target, uint8_t source, const uint8_t* data, uint8_t n);
// Tester to control unit.
KwpFrame BuildRequestFrame(const uint8_t* data, uint8_t n);
// Control unit to tester, for simulated control units and tests.
KwpFrame BuildResponseFrame(const uint8_t* data, uint8_t n);

struct ResponseHeader {
  size_t dataLength;     // L: the service identifier and what follows it, up to the checksum
  size_t restLength;     // bytes still to read after the 4 header bytes, checksum included
  size_t serviceOffset;  // where the response service identifier lies in the frame
};

// Judges the first 4 bytes of a response: format 0x80..0xBF, addressed to the tester by the
// control unit, at least one data byte, and short enough to lie whole in the receive buffer
// (a length byte above 251 is refused). nullopt means the attempt failed.
std::optional<ResponseHeader> ParseResponseHeader(const uint8_t* header);

}  // namespace drunvale
