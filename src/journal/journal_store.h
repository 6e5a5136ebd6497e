// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "journal/fill_up.h"

namespace drunvale {

class UserStore;

// Values of the settings key beside the 76-byte record, each under a name of its own, so that a
// store without them loads as before and builds that do not know them pass them by:
//   "FuelFactor"  REG_DWORD   the factor in parts per ten thousand (7000..13000; else 1.0)
//   "Journal"     REG_DWORD   0 = keep no journal; absent or anything else = keep it
//   "Tank"        REG_BINARY  the tank counter, 40 bytes (EncodeTank; older builds wrote 32)
inline constexpr const char* kFuelFactorName = "FuelFactor";
inline constexpr const char* kJournalName = "Journal";
inline constexpr const char* kTankName = "Tank";

uint32_t LoadFuelFactor(UserStore& store);
bool LoadJournalOn(UserStore& store);
TankState LoadTank(UserStore& store);
// False when the value could not be stored.
bool SaveFuelFactor(UserStore& store, uint32_t parts);
bool SaveJournalOn(UserStore& store, bool on);
bool SaveTank(UserStore& store, const TankState& tank);

// The tank counter's 40 bytes, little-endian: litres counted (f64), the fill-up it counts from
// (i64 seconds since 1970 UTC, 0 = none), then the last two full fill-ups, newest first, each
// its litres (f32, 0 = none) and the factor it measured (f32), then the litres pumped in
// not-full fill-ups since (f64). A counter of the first 32 bytes alone has none of those.
inline constexpr size_t kOldTankBytes = 32;
using TankImage = std::array<uint8_t, 40>;
TankImage EncodeTank(const TankState& tank);
// size: how many of the image's bytes were stored (kOldTankBytes or all). nullopt for bytes no
// counter could hold (not finite, negative); a damaged counter starts anew.
std::optional<TankState> DecodeTank(const TankImage& image, size_t size = sizeof(TankImage));

}  // namespace drunvale
