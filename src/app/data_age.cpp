// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_age.h"

namespace drunvale {

std::optional<uint32_t> DataAge::StaleSeconds(uint32_t nowMs) const {
  if (!running_) return std::nullopt;
  const uint32_t age = nowMs - lastNews_.load();
  if (age < kStaleAfterMs) return std::nullopt;
  return age / 1000;
}

bool DataAge::Stale(uint32_t nowMs) const {
  if (!everStarted_) return false;
  return !running_ || StaleSeconds(nowMs).has_value();
}

}  // namespace drunvale
