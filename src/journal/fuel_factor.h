// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace drunvale {

// The fuel correction factor, in parts per ten thousand: what the control unit's fuel flow is
// multiplied by before anything is made of it, worked out from fill-ups.
inline constexpr uint32_t kFactorOne = 10000;
inline constexpr uint32_t kFactorLowest = 7000;
inline constexpr uint32_t kFactorHighest = 13000;

// A stored factor outside the range counts as none: 1.0.
uint32_t FactorOrOne(std::optional<uint32_t> stored);
// "1.0420".
std::string FormatFactor(uint32_t parts);

// The factor in force: set on the UI thread, applied on the connection worker to every sample.
class FuelCalibration {
 public:
  uint32_t Parts() const { return parts_.load(std::memory_order_relaxed); }
  void SetParts(uint32_t parts) { parts_.store(FactorOrOne(parts), std::memory_order_relaxed); }
  // The fuel flow as it really is, by the factor; at 1.0 exactly the control unit's figure.
  float Apply(float fuel) const { return fuel * (static_cast<float>(Parts()) / 10000.0f); }

 private:
  std::atomic<uint32_t> parts_{kFactorOne};
};

}  // namespace drunvale
