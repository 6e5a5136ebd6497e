// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// The simulated ELM327's bus timing, shared by its K-line and CAN halves.
namespace drunvale::sim::elm_timing {

using std::chrono::milliseconds;

inline constexpr milliseconds kP3{55};           // quiet on the K-line before each request
inline constexpr milliseconds kInitQuiet{300};   // quiet before a fast init
inline constexpr milliseconds kInitPattern{50};  // 25 ms low, 25 ms high
// The address at 5 baud, the unit's sync and key bytes and the inverted echoes both ways.
inline constexpr milliseconds kSlowInit{2600};
// A search tries J1850 PWM and VPW, then the 5-baud init (ISO 9141-2 or ISO 14230-4 by the key
// bytes), then fast init, then the CAN protocols.
inline constexpr milliseconds kSearchJ1850{2400};
inline constexpr milliseconds kSearchAfterFast{1000};
inline constexpr milliseconds kCanSetup{100};  // a search switching its CAN controller to 11/500
inline constexpr milliseconds kCanTry{400};
// ISO 9141-2 messages have no length: a gap longer than P1 (at most 20 ms between bytes of one
// message) and shorter than P2 ends one.
inline constexpr milliseconds kIsoMessageGap{22};

}  // namespace drunvale::sim::elm_timing
