// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace drunvale {

// Milliseconds left until the deadline for a system wait (poll, select), rounded up so the
// wait never ends just short of it; 0 once it has passed.
inline int MsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>((left.count() + 999) / 1000);
}

}  // namespace drunvale
