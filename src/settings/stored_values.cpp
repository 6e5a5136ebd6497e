// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/stored_values.h"

#include <array>

#include "platform/user_store.h"
#include "settings/settings.h"

namespace drunvale {

std::optional<uint32_t> LoadStoredNumber(UserStore& store, const char* name) {
  auto key = store.Open(kSettingsKeyPath, StoreAccess::Read);
  if (!key) return std::nullopt;
  std::array<uint8_t, 4> bytes{};
  ValueInfo info;
  const bool ok = key->Query(name, bytes, info) == QueryStatus::Ok && info.Type == kRegDword &&
                  info.Size == bytes.size();
  key->Close();
  if (!ok) return std::nullopt;
  // Little-endian, as the registry keeps a DWORD.
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

bool SaveStoredNumber(UserStore& store, const char* name, uint32_t value) {
  auto key = OpenSettingsKeyForWriting(store);
  if (!key) return false;
  const std::array<uint8_t, 4> bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                     static_cast<uint8_t>(value >> 16),
                                     static_cast<uint8_t>(value >> 24)};
  const bool set = key->Set(name, kRegDword, bytes);
  return key->Close() && set;
}

bool LoadConnectAtStart(UserStore& store) {
  return LoadStoredNumber(store, kConnectAtStartName).value_or(0) != 0;
}

bool SaveConnectAtStart(UserStore& store, bool on) {
  return SaveStoredNumber(store, kConnectAtStartName, on ? 1 : 0);
}

uint32_t LoadAdapterFound(UserStore& store) {
  const uint32_t kind = LoadStoredNumber(store, kAdapterFoundName).value_or(0);
  return kind <= static_cast<uint32_t>(AdapterKind::Elm) ? kind : 0;
}

bool SaveAdapterFound(UserStore& store, uint32_t kind) {
  return SaveStoredNumber(store, kAdapterFoundName, kind);
}

uint32_t LoadSourceFound(UserStore& store) {
  const uint32_t packed = LoadStoredNumber(store, kSourceFoundName).value_or(0);
  const bool known = (packed & 0xFF) <= static_cast<uint32_t>(DataSourceKind::StandardObd) &&
                     (packed >> 8) <= 0x0C;
  return known ? packed : 0;
}

bool SaveSourceFound(UserStore& store, uint32_t packed) {
  return SaveStoredNumber(store, kSourceFoundName, packed);
}

}  // namespace drunvale
