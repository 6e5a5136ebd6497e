// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/side_values.h"

#include "settings/settings.h"

namespace drunvale {

bool LoadSideValue(UserStore& store, const char* name, uint32_t type, std::span<uint8_t> bytes) {
  auto key = store.Open(kSettingsKeyPath, StoreAccess::Read);
  if (!key) return false;
  ValueInfo info;
  const bool ok = key->Query(name, bytes, info) == QueryStatus::Ok && info.Type == type &&
                  info.Size == bytes.size();
  key->Close();
  return ok;
}

bool SaveSideValue(UserStore& store, const char* name, uint32_t type,
                   std::span<const uint8_t> bytes) {
  auto key = OpenSettingsKeyForWriting(store);
  if (!key) return false;
  const bool set = key->Set(name, type, bytes);
  return key->Close() && set;
}

}  // namespace drunvale
