// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/drive_profile.h"

namespace drunvale::sim {

// The three texts of the identification block; longer texts are cut to their field.
struct EcuIdentity {
  std::string name = "DRUNVALE ECUSIM";  // 15 characters at most
  std::string version = "1.1";           // 10 at most
  std::string date = "K-LINE";           // 8 at most
};

// Offsets count from the echoed option or local identifier, the byte after the service id.
inline constexpr size_t kIdentificationBlockSize = 100;
inline constexpr size_t kIdNameOffset = 56, kIdNameSize = 15;
inline constexpr size_t kIdVersionOffset = 78, kIdVersionSize = 10;
inline constexpr size_t kIdDateOffset = 88, kIdDateSize = 8;

inline constexpr size_t kLiveDataBlockSize = 32;
inline constexpr size_t kLiveStatusOffset = 3;
inline constexpr size_t kLiveSpeedOffset = 18;
inline constexpr size_t kLiveAirOffset = 23;   // low byte first
inline constexpr size_t kLiveFuelOffset = 27;  // low byte first

// The block after 5A: option 0x80, the texts zero-padded in their fields, filler elsewhere.
std::vector<uint8_t> BuildIdentificationBlock(const EcuIdentity& identity);
// The block after 61: local identifier 0x01, the four fields, filler elsewhere.
std::vector<uint8_t> BuildLiveDataBlock(const LiveFields& fields);

}  // namespace drunvale::sim
