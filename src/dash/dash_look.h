// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/wall_clock.h"

namespace drunvale {

class UserStore;

enum class NightMode : uint8_t { Day = 0, Night = 1, ByClock = 2 };

// How the dash looks: the day palette or the night one (black, dim amber), chosen by hand or
// by the clock, the night's brightness, and the chart's span.
struct DashLook {
  static constexpr uint8_t kDimmest = 10;  // percent
  static constexpr uint8_t kBrightest = 100;
  static constexpr uint8_t kBrightnessStep = 10;

  NightMode mode = NightMode::ByClock;
  uint8_t brightness = 50;          // percent of the night palette's full amber
  uint16_t nightFromMinute = 1260;  // 21:00
  uint16_t nightToMinute = 420;     // 07:00
  uint8_t spanMinutes = 10;         // 10 or 30

  bool operator==(const DashLook&) const = default;
};

// Whether the night palette is in force at this local time. By the clock, night runs from
// nightFromMinute up to nightToMinute, across midnight when it starts later than it ends;
// equal minutes mean no night at all.
bool IsNight(const DashLook& look, const LocalTime& now);

// One step brighter (+1) or dimmer (−1), within kDimmest..kBrightest.
DashLook StepBrightness(DashLook look, int direction);
// The other of the two spans.
DashLook ToggleSpan(DashLook look);

// Stored beside the settings record as "Dash", REG_BINARY, 7 bytes little-endian: mode (u8),
// brightness (u8), night from and to in minutes after midnight (u16 each), span in minutes
// (u8). A value that is missing, of another size or out of range loads as the defaults.
inline constexpr const char* kDashLookName = "Dash";
using DashLookImage = std::array<uint8_t, 7>;
DashLookImage EncodeDashLook(const DashLook& look);
std::optional<DashLook> DecodeDashLook(const DashLookImage& image);
DashLook LoadDashLook(UserStore& store);
// False when the store would not take it.
bool SaveDashLook(UserStore& store, const DashLook& look);

}  // namespace drunvale
