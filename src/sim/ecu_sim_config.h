// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/ecu_blocks.h"

namespace drunvale::sim {

inline constexpr std::array<uint8_t, 2> kKnownKeyBytes{0x6B, 0x8F};
inline constexpr std::array<uint8_t, 2> kUnknownKeyBytes{0xEF, 0x8F};
// The rate a control unit wakes up at and falls back to when a session ends.
inline constexpr uint32_t kDefaultLineRate = 10400;

// A trouble code both the manufacturer's unit and the standard car hold until cleared: the two
// bytes as sent (P0130 is 0x0130), and whether it is pending (OBD-II mode 07; the manufacturer's
// unit says so in its status).
struct SimTroubleCode {
  uint16_t code = 0;
  bool pending = false;
};

struct EcuSimConfig {
  // From the last byte of a request to the first byte of the answer.
  std::chrono::microseconds responseDelay{25'000};
  // Answers go out byte by byte, 10 bit times apart at the line rate; off: all in one write.
  bool pacing = true;
  // The drive runs this many times faster than the clock, and starts at this moment of its cycle.
  double profileSpeedup = 1.0;
  double profileStartSeconds = 0.0;
  std::array<uint8_t, 2> keyBytes = kKnownKeyBytes;
  EcuIdentity identity;
  // Every n-th request the control unit understands is answered busy (7F sid 21); 0: never.
  int busyEvery = 0;
  // A request sent at another rate than the control unit listens at is noise to it, as on a real
  // line. Off: any rate is heard.
  bool enforceLineRate = true;
  // After this long without a request the control unit drops back to the default rate; 0: never.
  std::chrono::milliseconds sessionTimeout{5000};
  // A frame that stops arriving for this long is given up.
  std::chrono::microseconds frameGap{50'000};
  std::vector<SimTroubleCode> troubleCodes;
};

}  // namespace drunvale::sim
