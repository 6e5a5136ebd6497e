// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/registry_user_store.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

bool IsText(uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == REG_MULTI_SZ;
}

std::wstring WideName(std::string_view name) {
  return WideFromUtf8(name);
}

// The value as the store shows it; NotFound when it is missing, too large or not readable text,
// Failed when the registry would not read it (the key deleted meanwhile, a damaged hive).
QueryStatus ReadValue(HKEY key, const std::wstring& name, StoreValue& value) {
  std::vector<uint8_t> raw;
  DWORD type = 0;
  DWORD size = 0;
  LONG r = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  // The value may grow between the two calls: ask again with the size it has now.
  while (r == ERROR_SUCCESS) {
    // UTF-16 takes at most twice the bytes of the UTF-8 it becomes.
    if (size > 2 * kMaxStoreValueBytes) return QueryStatus::NotFound;
    raw.resize(size);
    r = RegQueryValueExW(key, name.c_str(), nullptr, &type, raw.data(), &size);
    if (r == ERROR_SUCCESS) {
      raw.resize(size);
      break;
    }
    if (r == ERROR_MORE_DATA) r = ERROR_SUCCESS;
  }
  if (r == ERROR_FILE_NOT_FOUND) return QueryStatus::NotFound;
  if (r != ERROR_SUCCESS) return QueryStatus::Failed;

  value.Type = type;
  if (IsText(type)) {
    if (raw.size() % 2 != 0) return QueryStatus::NotFound;
    std::wstring wide(raw.size() / 2, L'\0');
    if (!raw.empty()) std::memcpy(wide.data(), raw.data(), raw.size());
    const std::string utf8 = Utf8FromWide(wide);
    value.Data.assign(utf8.begin(), utf8.end());
  } else {
    value.Data = std::move(raw);
  }
  if (value.Data.size() > kMaxStoreValueBytes) return QueryStatus::NotFound;
  return QueryStatus::Ok;
}

class RegistryKey final : public StoreKey {
 public:
  RegistryKey(HKEY key, StoreAccess access, bool isRoot)
      : key_(key), access_(access), isRoot_(isRoot) {}
  ~RegistryKey() override { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  QueryStatus Query(std::string_view name, std::span<uint8_t> buffer, ValueInfo& info) override {
    if (closed_ || !IsValidValueName(name)) return QueryStatus::NotFound;
    StoreValue value;
    const QueryStatus status = ReadValue(key_, WideName(name), value);
    return status == QueryStatus::Ok ? CopyValueOut(value, buffer, info) : status;
  }

  bool Set(std::string_view name, uint32_t type, std::span<const uint8_t> data) override {
    if (closed_ || access_ != StoreAccess::Write || isRoot_ || !IsValidValueName(name) ||
        data.size() > kMaxStoreValueBytes) {
      return false;
    }
    std::wstring wide;
    const BYTE* bytes = data.data();
    DWORD size = static_cast<DWORD>(data.size());
    if (IsText(type)) {
      wide = WideFromUtf8({reinterpret_cast<const char*>(data.data()), data.size()});
      bytes = reinterpret_cast<const BYTE*>(wide.data());
      size = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    }
    return RegSetValueExW(key_, WideName(name).c_str(), 0, type, bytes, size) == ERROR_SUCCESS;
  }

  std::unique_ptr<StoreKey> CreateSubKey(std::string_view name) override {
    if (closed_ || access_ != StoreAccess::Write || !IsValidKeyName(name)) return nullptr;
    HKEY sub;
    if (RegCreateKeyExW(key_, WideName(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &sub, nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<RegistryKey>(sub, StoreAccess::Write, false);
  }

  // The registry keeps its own log; forcing it to disk (RegFlushKey) can take seconds and
  // would add nothing a save needs.
  bool Flush() override { return !closed_; }

  bool Close() override {
    if (closed_) return true;
    closed_ = true;
    RegCloseKey(key_);
    return true;
  }

 private:
  HKEY key_;
  StoreAccess access_;
  bool isRoot_;
  bool closed_ = false;
};

}  // namespace

std::wstring RegistryUserStore::FullPath(std::string_view path) const {
  const std::vector<std::string> levels = SplitKeyPath(path);
  if (levels.empty() || !SameStoreName(levels.front(), "Software")) return {};
  std::string full = base_;
  for (const std::string& level : levels)
    full += (full.empty() ? "" : "\\") + level;
  return WideName(full);
}

std::unique_ptr<StoreKey> RegistryUserStore::Open(std::string_view path, StoreAccess access) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return nullptr;
  // A key opened for writing is read as well, as in the file store.
  const REGSAM sam = access == StoreAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, full.c_str(), 0, sam, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryKey>(key, access, SplitKeyPath(path).size() == 1);
}

bool RegistryUserStore::Exists(std::string_view path) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return false;
  HKEY key;
  const LONG r = RegOpenKeyExW(HKEY_CURRENT_USER, full.c_str(), 0, KEY_READ, &key);
  if (r == ERROR_SUCCESS) RegCloseKey(key);
  // Any other answer, access denied above all, means the key is there.
  return r != ERROR_FILE_NOT_FOUND && r != ERROR_PATH_NOT_FOUND;
}

std::unique_ptr<UserStore> MakeSystemUserStore() {
  return std::make_unique<RegistryUserStore>();
}

std::string SystemUserStorePlace(std::string_view path) {
  return "the registry, HKEY_CURRENT_USER\\" + std::string(path);
}

}  // namespace drunvale
