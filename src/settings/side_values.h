// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "platform/user_store.h"

namespace drunvale {

// Values of the program's own stored in the settings key beside the record, each under a name
// of its own, so that a store without them loads as before and builds that do not know them
// pass them by.

// Fills `bytes` when the value is there with this type and exactly this size; false otherwise
// (`bytes` may then hold anything).
bool LoadSideValue(UserStore& store, const char* name, uint32_t type, std::span<uint8_t> bytes);
// False when the value could not be stored.
bool SaveSideValue(UserStore& store, const char* name, uint32_t type,
                   std::span<const uint8_t> bytes);

}  // namespace drunvale
