// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/user_store.h"

namespace drunvale {

// The per-user store on Windows: the registry below HKEY_CURRENT_USER, through the W API. Key
// paths and value names are UTF-8 here and UTF-16 in the registry. String values (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) hold UTF-8 bytes here and UTF-16 in the registry, so that
// regedit shows them as text; sizes and byte limits count the UTF-8 bytes, as the file store on
// Linux counts them. Other types are stored byte for byte. A string value stored with an odd
// number of bytes by some other program counts as unreadable, and one set without its NUL may
// come back with one (the registry adds it when the next UTF-16 unit is NUL). As in the file store,
// only keys below "Software" can be opened and the root holds no values. Writes are in the registry
// at once; Flush has nothing to do.
class RegistryUserStore final : public UserStore {
 public:
  // base names a key below HKEY_CURRENT_USER that stands in for it (tests keep their keys
  // apart this way); empty: HKEY_CURRENT_USER itself.
  explicit RegistryUserStore(std::string base = {}) : base_(std::move(base)) {}

  std::unique_ptr<StoreKey> Open(std::string_view path, StoreAccess access) override;
  bool Exists(std::string_view path) override;

 private:
  // HKEY_CURRENT_USER's path to the key below the base; empty when path names none.
  std::wstring FullPath(std::string_view path) const;

  std::string base_;
};

}  // namespace drunvale
