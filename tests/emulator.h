// SPDX-License-Identifier: GPL-3.0-or-later
// What a test needs to know when its build runs under an emulator (qemu-user for arm64).
#pragma once

#include <chrono>

#ifndef _WIN32
#include <pty.h>
#include <unistd.h>

#include "platform/linux/termios2_line.h"
#endif

#ifndef DRUNVALE_TEST_TIME_SCALE
#define DRUNVALE_TEST_TIME_SCALE 1
#endif
#ifndef DRUNVALE_TEST_EMULATED
#define DRUNVALE_TEST_EMULATED 0
#endif

namespace drunvale::testing {

inline constexpr bool kEmulated = DRUNVALE_TEST_EMULATED != 0;

// How many times longer than natively a test may take for what it measures on the real clock:
// under the emulator every instruction costs several. Bounds that a slow machine could overrun
// are multiplied; bounds a fast one could undercut (a pacing of at least 100 ms) are not.
inline constexpr int kTimeScale = DRUNVALE_TEST_TIME_SCALE;

template <class Rep, class Period>
constexpr std::chrono::duration<Rep, Period> Scaled(std::chrono::duration<Rep, Period> limit) {
  return limit * kTimeScale;
}

#ifndef _WIN32
// Whether a pseudo-terminal's line rate can be read here. Every Linux kernel can; qemu-user 7.2
// passes no TCGETS2 or TCSETS2 through (its ioctl table lacks them), so under it no test of a
// line rate can pass, and a board runs those natively.
inline bool PtyTakesLineRates() {
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return false;
  const bool known = ReadLineBaud(slave).has_value();
  close(master);
  close(slave);
  return known;
}
#endif

}  // namespace drunvale::testing

// Natively a rate that cannot be set is a failure; under the emulator it is its known gap.
#define DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES()                           \
  if (::drunvale::testing::kEmulated && !::drunvale::testing::PtyTakesLineRates()) \
  GTEST_SKIP() << "qemu-user passes no TCSETS2/TCGETS2: line rates are tested on the board"
