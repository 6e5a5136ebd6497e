// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

namespace drunvale {

// Whether the figures on show are live. They are stale once no valid sample has come for
// kStaleAfterMs while the link runs (counted from Start until the first sample), and at once
// after a stop; the first valid sample makes them live again. Before the first Start nothing is
// stale: nothing has been shown yet. Sampled may come from any thread, the rest from the UI
// thread; times are the 32-bit tick, intervals taken by unsigned subtraction.
class DataAge {
 public:
  static constexpr uint32_t kStaleAfterMs = 2000;

  void Sampled(uint32_t nowMs) { lastNews_.store(nowMs); }
  void Started(uint32_t nowMs) {
    lastNews_.store(nowMs);
    running_ = true;
    everStarted_ = true;
  }
  void Stopped() { running_ = false; }

  // Whole seconds without a sample while the link runs, once the figures are stale; nullopt
  // while they are live or the link is stopped.
  std::optional<uint32_t> StaleSeconds(uint32_t nowMs) const;
  // The indicator's digits show an old figure.
  bool Stale(uint32_t nowMs) const;

 private:
  std::atomic<uint32_t> lastNews_{0};  // the last valid sample, or the start before any
  bool running_ = false;
  bool everStarted_ = false;
};

}  // namespace drunvale
