// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/memory_user_store.h"

#include <algorithm>

namespace drunvale {
namespace {

std::vector<StoreValue>::iterator FindIn(std::vector<StoreValue>& values, std::string_view name) {
  return std::find_if(values.begin(), values.end(),
                      [&](const StoreValue& value) { return SameStoreName(value.Name, name); });
}

void Upsert(std::vector<StoreValue>& values, StoreValue value) {
  const auto same = FindIn(values, value.Name);
  if (same != values.end()) {
    *same = std::move(value);
  } else {
    values.push_back(std::move(value));
  }
}

std::string Outcome(bool ok) {
  return ok ? "" : " failed";
}

}  // namespace

class MemoryKey final : public StoreKey {
 public:
  MemoryKey(MemoryUserStore& store, std::string path, StoreAccess access)
      : store_(store), path_(std::move(path)), access_(access) {}
  ~MemoryKey() override { Close(); }

  QueryStatus Query(std::string_view name, std::span<uint8_t> buffer, ValueInfo& info) override {
    store_.log_.push_back("query " + std::string(name));
    if (closed_) return QueryStatus::NotFound;
    if (store_.failQuery_.contains(name)) return QueryStatus::Failed;
    auto pending = FindIn(pending_, name);
    if (pending != pending_.end()) return CopyValueOut(*pending, buffer, info);
    auto& stored = store_.keys_[path_];
    auto value = FindIn(stored, name);
    return value == stored.end() ? QueryStatus::NotFound : CopyValueOut(*value, buffer, info);
  }

  bool Set(std::string_view name, uint32_t type, std::span<const uint8_t> data) override {
    const bool ok = !closed_ && access_ == StoreAccess::Write && IsValidValueName(name) &&
                    data.size() <= kMaxStoreValueBytes && !store_.failSet_.contains(name);
    store_.log_.push_back("set " + std::string(name) + Outcome(ok));
    if (ok) Upsert(pending_, {std::string(name), type, {data.begin(), data.end()}});
    return ok;
  }

  std::unique_ptr<StoreKey> CreateSubKey(std::string_view name) override {
    const std::string path = path_ + "\\" + std::string(name);
    const bool ok = !closed_ && access_ == StoreAccess::Write && IsValidKeyName(name) &&
                    !store_.failCreate_.contains(path);
    store_.log_.push_back("create " + path + Outcome(ok));
    if (!ok) return nullptr;
    store_.keys_[path];
    return std::make_unique<MemoryKey>(store_, path, StoreAccess::Write);
  }

  bool Flush() override {
    const bool ok = !closed_ && Commit();
    store_.log_.push_back("flush " + path_ + Outcome(ok));
    return ok;
  }

  bool Close() override {
    if (closed_) return true;
    const bool ok = Commit();
    closed_ = true;
    store_.log_.push_back("close " + path_ + Outcome(ok));
    return ok;
  }

 private:
  bool Commit() {
    if (pending_.empty()) return true;
    auto values = std::move(pending_);
    pending_.clear();
    if (store_.failCommit_.contains(path_)) return false;
    for (auto& value : values)
      Upsert(store_.keys_[path_], std::move(value));
    return true;
  }

  MemoryUserStore& store_;
  std::string path_;
  StoreAccess access_;
  std::vector<StoreValue> pending_;
  bool closed_ = false;
};

MemoryUserStore::MemoryUserStore() {
  keys_["Software"];
}

std::unique_ptr<StoreKey> MemoryUserStore::Open(std::string_view path, StoreAccess access) {
  const bool ok = keys_.contains(path) && !failOpen_.contains(path);
  log_.push_back((access == StoreAccess::Read ? "open-read " : "open-write ") + std::string(path) +
                 Outcome(ok));
  if (!ok) return nullptr;
  return std::make_unique<MemoryKey>(*this, std::string(path), access);
}

void MemoryUserStore::AddKey(std::string_view path) {
  for (size_t cut = path.find('\\'); cut != std::string_view::npos;
       cut = path.find('\\', cut + 1)) {
    keys_[std::string(path.substr(0, cut))];
  }
  keys_[std::string(path)];
}

void MemoryUserStore::Put(std::string_view path, std::string_view name, uint32_t type,
                          std::vector<uint8_t> data) {
  AddKey(path);
  Upsert(keys_[std::string(path)], {std::string(name), type, std::move(data)});
}

bool MemoryUserStore::HasKey(std::string_view path) const {
  return keys_.contains(path);
}

const StoreValue* MemoryUserStore::Find(std::string_view path, std::string_view name) const {
  const auto key = keys_.find(path);
  if (key == keys_.end()) return nullptr;
  for (const StoreValue& value : key->second) {
    if (SameStoreName(value.Name, name)) return &value;
  }
  return nullptr;
}

std::vector<StoreValue> MemoryUserStore::Values(std::string_view path) const {
  const auto key = keys_.find(path);
  return key == keys_.end() ? std::vector<StoreValue>{} : key->second;
}

}  // namespace drunvale
