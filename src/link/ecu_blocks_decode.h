// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace drunvale {

// Offsets count from the byte after the response service identifier (the echoed local
// identifier or option).
inline constexpr size_t kLiveStatusAt = 3;
inline constexpr size_t kLiveSpeedAt = 18;
inline constexpr size_t kLiveAirAt = 23;   // 16 bits, low byte first
inline constexpr size_t kLiveFuelAt = 27;  // 16 bits, low byte first
inline constexpr size_t kLiveDataMinSize = 29;

inline constexpr size_t kIdNameAt = 56, kIdNameLength = 15;
inline constexpr size_t kIdVersionAt = 78, kIdVersionLength = 10;
inline constexpr size_t kIdDateAt = 88, kIdDateLength = 8;

// One polled live-data block as the trip computer takes it: km/h, kg/h, l/h.
struct LiveSample {
  float speed = 0;
  float air = 0;
  float fuel = 0;
  bool running = false;
};

// size: the block's bytes from payload up to the checksum. A block too short to hold every
// field gives nullopt, never a sample made partly of other bytes.
std::optional<LiveSample> DecodeLiveData(const uint8_t* payload, size_t size);

// The status line after identification: "%.15s Ver. %.10s  %.8s\r\n" over the three text
// fields. A field ends at a zero byte, at its length, or where the block ends.
std::string FormatIdentification(const uint8_t* payload, size_t size);

// The control unit's texts are Windows-1251 bytes; the status line takes UTF-8. Control characters
// (below 0x20, and 0x7F) become U+FFFD, so that no byte from the car reaches a terminal as one.
std::string Cp1251ToUtf8(const uint8_t* text, size_t n);

}  // namespace drunvale
