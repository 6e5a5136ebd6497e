// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace drunvale {

class UserStore;

// Numbers of the settings key beside the 76-byte record, each a REG_DWORD under a name of its
// own, so that a store without them loads as before and builds that do not know them pass
// them by. nullopt when the value is missing or not a 4-byte REG_DWORD; false when it could not
// be stored.
std::optional<uint32_t> LoadStoredNumber(UserStore& store, const char* name);
bool SaveStoredNumber(UserStore& store, const char* name, uint32_t value);

// "ConnectAtStart": 1 = the window presses "Старт" by itself when it opens; absent or 0 = it
// waits for the user, as it always has.
inline constexpr const char* kConnectAtStartName = "ConnectAtStart";
bool LoadConnectAtStart(UserStore& store);
bool SaveConnectAtStart(UserStore& store, bool on);

// "AdapterFound": the adapter automatic detection found last (1 K-line, 2 ELM327), tried first
// at the next start; absent or unknown: none.
inline constexpr const char* kAdapterFoundName = "AdapterFound";
uint32_t LoadAdapterFound(UserStore& store);
bool SaveAdapterFound(UserStore& store, uint32_t kind);

// "SourceFound": the data source automatic choice found last, the OBD-II protocol in its
// second byte, tried first at the next start; absent: none.
inline constexpr const char* kSourceFoundName = "SourceFound";
uint32_t LoadSourceFound(UserStore& store);
bool SaveSourceFound(UserStore& store, uint32_t packed);

}  // namespace drunvale
