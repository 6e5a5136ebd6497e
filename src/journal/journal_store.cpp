// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_store.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "journal/fuel_factor.h"
#include "platform/user_store.h"
#include "settings/settings.h"
#include "settings/stored_values.h"

namespace drunvale {
namespace {

template <class T>
void Put(TankImage& image, size_t at, T value) {
  const auto bits = std::bit_cast<std::array<uint8_t, sizeof(T)>>(value);
  // Little-endian whatever the machine.
  for (size_t i = 0; i < sizeof(T); ++i)
    image[at + i] = std::endian::native == std::endian::little ? bits[i] : bits[sizeof(T) - 1 - i];
}

template <class T>
T Get(const TankImage& image, size_t at) {
  std::array<uint8_t, sizeof(T)> bits;
  for (size_t i = 0; i < sizeof(T); ++i)
    bits[i] =
        std::endian::native == std::endian::little ? image[at + i] : image[at + sizeof(T) - 1 - i];
  return std::bit_cast<T>(bits);
}

bool SaveValue(UserStore& store, const char* name, uint32_t type, std::span<const uint8_t> data) {
  auto key = OpenSettingsKeyForWriting(store);
  if (!key) return false;
  const bool set = key->Set(name, type, data);
  return key->Close() && set;
}

}  // namespace

uint32_t LoadFuelFactor(UserStore& store) {
  return FactorOrOne(LoadStoredNumber(store, kFuelFactorName));
}

bool LoadJournalOn(UserStore& store) {
  return LoadStoredNumber(store, kJournalName).value_or(1) != 0;
}

TankState LoadTank(UserStore& store) {
  auto key = store.Open(kSettingsKeyPath, StoreAccess::Read);
  if (!key) return {};
  TankImage image{};
  ValueInfo info;
  const bool ok = key->Query(kTankName, image, info) == QueryStatus::Ok &&
                  info.Type == kRegBinary &&
                  (info.Size == image.size() || info.Size == kOldTankBytes);
  key->Close();
  return ok ? DecodeTank(image, info.Size).value_or(TankState{}) : TankState{};
}

bool SaveFuelFactor(UserStore& store, uint32_t parts) {
  return SaveStoredNumber(store, kFuelFactorName, parts);
}

bool SaveJournalOn(UserStore& store, bool on) {
  return SaveStoredNumber(store, kJournalName, on ? 1 : 0);
}

bool SaveTank(UserStore& store, const TankState& tank) {
  return SaveValue(store, kTankName, kRegBinary, EncodeTank(tank));
}

TankImage EncodeTank(const TankState& tank) {
  TankImage image{};
  Put<double>(image, 0, tank.litres);
  Put<int64_t>(image, 8, tank.since);
  for (size_t i = 0; i < tank.fills.size(); ++i) {
    Put<float>(image, 16 + 8 * i, tank.fills[i].litres);
    Put<float>(image, 20 + 8 * i, tank.fills[i].factor);
  }
  Put<double>(image, 32, tank.pumpedNotFull);
  return image;
}

std::optional<TankState> DecodeTank(const TankImage& image, size_t size) {
  TankState tank;
  tank.litres = Get<double>(image, 0);
  tank.since = Get<int64_t>(image, 8);
  if (size > kOldTankBytes) tank.pumpedNotFull = Get<double>(image, 32);
  if (!std::isfinite(tank.litres) || tank.litres < 0 || tank.since < 0 ||
      !std::isfinite(tank.pumpedNotFull) || tank.pumpedNotFull < 0) {
    return std::nullopt;
  }
  for (size_t i = 0; i < tank.fills.size(); ++i) {
    PastFill& fill = tank.fills[i];
    fill.litres = Get<float>(image, 16 + 8 * i);
    fill.factor = Get<float>(image, 20 + 8 * i);
    if (!std::isfinite(fill.litres) || !std::isfinite(fill.factor) || fill.litres < 0 ||
        fill.factor < 0) {
      return std::nullopt;
    }
  }
  return tank;
}

}  // namespace drunvale
