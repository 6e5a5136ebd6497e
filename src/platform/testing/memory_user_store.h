// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_store.h"

namespace drunvale {

// Test double of the per-user store: keys and values in memory, and a log of every operation in
// order, one line each:
//   "open-read <path>", "open-write <path>", "create <path>", "query <name>", "set <name>",
//   "flush <path>", "close <path>"  (with " failed" appended when the operation failed).
// As in the real store, writes wait in the open key until Flush or Close.
class MemoryUserStore final : public UserStore {
 public:
  MemoryUserStore();  // holds the root key "Software"

  std::unique_ptr<StoreKey> Open(std::string_view path, StoreAccess access) override;
  bool Exists(std::string_view path) override { return HasKey(path); }

  // The key and every level above it.
  void AddKey(std::string_view path);
  // Stores a value directly, creating its key; not logged.
  void Put(std::string_view path, std::string_view name, uint32_t type, std::vector<uint8_t> data);
  bool HasKey(std::string_view path) const;
  // nullptr when the key or the value is missing.
  const StoreValue* Find(std::string_view path, std::string_view name) const;
  // The key's values in the order they were first set.
  std::vector<StoreValue> Values(std::string_view path) const;

  // Failures on demand: opening the key at path, creating it, setting a value of this name in
  // any key, and committing the key at path (its pending writes are lost).
  void FailOpen(std::string path) { failOpen_.insert(std::move(path)); }
  void FailCreate(std::string path) { failCreate_.insert(std::move(path)); }
  void FailSet(std::string name) { failSet_.insert(std::move(name)); }
  void FailCommit(std::string path) { failCommit_.insert(std::move(path)); }
  // Reading a value of this name fails as a system read can: QueryStatus::Failed.
  void FailQuery(std::string name) { failQuery_.insert(std::move(name)); }

  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  friend class MemoryKey;

  std::map<std::string, std::vector<StoreValue>, std::less<>> keys_;
  std::set<std::string, std::less<>> failOpen_;
  std::set<std::string, std::less<>> failCreate_;
  std::set<std::string, std::less<>> failSet_;
  std::set<std::string, std::less<>> failCommit_;
  std::set<std::string, std::less<>> failQuery_;
  std::vector<std::string> log_;
};

}  // namespace drunvale
