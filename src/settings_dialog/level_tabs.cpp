// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/level_tabs.h"

namespace drunvale {

namespace {
constexpr float kBandStep = 0.01f;
}

float TestConsumption(int tab, uint8_t overLimit) {
  switch (static_cast<ConsumptionLevel>(tab)) {
    case ConsumptionLevel::Zero:
      return 0;
    case ConsumptionLevel::Min:
      return kBandStep;
    case ConsumptionLevel::Max:
      // Exact in double for every limit up to 255, then rounded once to single precision.
      return static_cast<float>(static_cast<double>(overLimit) - static_cast<double>(kBandStep));
    case ConsumptionLevel::Over:
      return overLimit;
  }
  return 0;
}

}  // namespace drunvale
