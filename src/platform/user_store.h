// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace drunvale {

// Value types, numbered as the Windows registry numbers them. Any other number is stored and
// returned unchanged.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Larger values are refused when set and skipped when read from a file.
inline constexpr size_t kMaxStoreValueBytes = 1 << 20;

enum class StoreAccess { Read, Write };

enum class [[nodiscard]] QueryStatus{
    Ok,        // the data is in the buffer
    NotFound,  // no such value, or one that could not be read
    MoreData,  // the value does not fit the byte limit; the buffer is untouched
    Failed,    // the value is there but the system would not read it: the key is not to be trusted
};

// What a query learns about a value: its type and its size in bytes (on MoreData, the size the
// buffer would have needed).
struct ValueInfo {
  uint32_t Type = 0;
  size_t Size = 0;
};

// One named value.
struct StoreValue {
  std::string Name;
  uint32_t Type = 0;
  std::vector<uint8_t> Data;

  bool operator==(const StoreValue&) const = default;
};

// Key levels and value names compare without regard to ASCII case, as in the registry.
bool SameStoreName(std::string_view a, std::string_view b);
// The registry's own limits on a value name: at most 16383 bytes, no control characters.
bool IsValidValueName(std::string_view name);
// A key path level: not empty, not "." or "..", no '\', '/' or control characters.
bool IsValidKeyName(std::string_view name);
// Splits "Software\\Tembrook" into its levels; empty when any level is invalid.
std::vector<std::string> SplitKeyPath(std::string_view path);

// The query rule shared by every store: copy when the data fits the buffer, else report the
// size needed.
QueryStatus CopyValueOut(const StoreValue& value, std::span<uint8_t> buffer, ValueInfo& info);

// An open key. Writes may be held until Flush or Close: only then are they durable.
class StoreKey {
 public:
  virtual ~StoreKey() = default;

  // buffer.size() is the byte limit.
  virtual QueryStatus Query(std::string_view name, std::span<uint8_t> buffer, ValueInfo& info) = 0;
  // Needs write access. False when the name or the data is refused.
  virtual bool Set(std::string_view name, uint32_t type, std::span<const uint8_t> data) = 0;
  // Opens, or creates, the named key one level below this one; needs write access.
  virtual std::unique_ptr<StoreKey> CreateSubKey(std::string_view name) = 0;
  // False when the writes so far could not be made durable; they stay pending.
  virtual bool Flush() = 0;
  // Flushes and releases the key; later calls fail. Safe to call twice: the second returns
  // true. A key destroyed while open is closed, its result lost.
  virtual bool Close() = 0;
};

// The per-user store: keys below HKEY_CURRENT_USER, named by paths whose levels are separated
// by '\' ("Software\\Tembrook\\Drunvale\\1.0"). The root level "Software" always exists.
class UserStore {
 public:
  virtual ~UserStore() = default;
  // Opens an existing key; nullptr when it is missing or cannot be read.
  virtual std::unique_ptr<StoreKey> Open(std::string_view path, StoreAccess access) = 0;
  // Whether the key is there, readable or not: a key that is missing is no failure on a first
  // start, one that is there but will not open is.
  virtual bool Exists(std::string_view path) = 0;
};

// The store of the user running the program: a file per key under the config folder on Linux
// (linux/file_user_store.h), the registry on Windows (windows/registry_user_store.h).
std::unique_ptr<UserStore> MakeSystemUserStore();
// Where the system store keeps the key at `path`, in words for the help text.
std::string SystemUserStorePlace(std::string_view path);

}  // namespace drunvale
