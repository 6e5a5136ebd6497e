// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ecu_blocks_decode.h"

#include <algorithm>
#include <cstring>

namespace drunvale {
namespace {

// Code points of 0x80..0xBF; 0x98 has none in Windows-1251. 0xC0..0xFF are А..я in order.
constexpr uint16_t kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

uint16_t Word(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

// A text field as "%.<length>s" prints it, never past the block's end.
std::string Field(const uint8_t* payload, size_t size, size_t at, size_t length) {
  if (at >= size) return {};
  const size_t available = std::min(length, size - at);
  const void* zero = std::memchr(payload + at, 0, available);
  const size_t n =
      zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - (payload + at)) : available;
  return Cp1251ToUtf8(payload + at, n);
}

}  // namespace

std::string Cp1251ToUtf8(const uint8_t* text, size_t n) {
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t byte = text[i];
    if (byte < 0x20 || byte == 0x7F) {
      // A control unit's bytes must not steer a terminal (ESC sequences) or break a line.
      AppendUtf8(out, kReplacement);
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else if (byte < 0xC0) {
      AppendUtf8(out, kUpperHalf[byte - 0x80]);
    } else {
      AppendUtf8(out, 0x0410u + (byte - 0xC0u));
    }
  }
  return out;
}

std::optional<LiveSample> DecodeLiveData(const uint8_t* payload, size_t size) {
  if (size < kLiveDataMinSize) return std::nullopt;
  LiveSample sample;
  sample.running = (payload[kLiveStatusAt] & 0x01) == 0;
  sample.speed = static_cast<float>(payload[kLiveSpeedAt]);
  // Single-precision products, as the trip computer's figures were always computed.
  sample.air = static_cast<float>(Word(payload + kLiveAirAt)) * 0.1f;
  sample.fuel = static_cast<float>(Word(payload + kLiveFuelAt)) * 0.02f;
  return sample;
}

std::string FormatIdentification(const uint8_t* payload, size_t size) {
  std::string text = Field(payload, size, kIdNameAt, kIdNameLength);
  text += " Ver. ";
  text += Field(payload, size, kIdVersionAt, kIdVersionLength);
  text += "  ";
  text += Field(payload, size, kIdDateAt, kIdDateLength);
  text += "\r\n";
  return text;
}

}  // namespace drunvale
