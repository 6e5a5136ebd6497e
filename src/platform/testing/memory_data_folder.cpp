// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/memory_data_folder.h"

namespace drunvale {

using Status = FileResult::Status;

MemoryDataFolder::MemoryDataFolder(std::string path) : state_(std::make_shared<State>()) {
  state_->path = std::move(path);
}

MemoryDataFolder::~MemoryDataFolder() {
  if (state_->claimedBy == this) state_->claimedBy = nullptr;
}

std::unique_ptr<MemoryDataFolder> MemoryDataFolder::Another() const {
  return std::unique_ptr<MemoryDataFolder>(new MemoryDataFolder(state_));
}

std::string MemoryDataFolder::PathOf(std::string_view name) const {
  return state_->path + "/" + std::string(name);
}

std::optional<FileResult> MemoryDataFolder::FailedWrite() {
  if (state_->failWrites == Status::Ok) return std::nullopt;
  return FileResult{state_->failWrites, -1};
}

FileResult MemoryDataFolder::Read(std::string_view name, std::string& bytes) {
  bytes.clear();
  if (state_->failReads != Status::Ok) return {state_->failReads, -1};
  const std::string* file = File(name);
  if (file == nullptr) return {Status::NotFound, -1};
  bytes = *file;
  return {};
}

FileResult MemoryDataFolder::AppendLine(std::string_view name, std::string_view header,
                                        std::string_view line) {
  if (auto failed = FailedWrite()) return *failed;
  std::string& file = state_->files[std::string(name)];
  if (file.empty()) {
    file.append(header).push_back('\n');
  } else if (file.back() != '\n') {
    file.push_back('\n');
  }
  file.append(line).push_back('\n');
  ++state_->writes;
  return {};
}

FileResult MemoryDataFolder::Replace(std::string_view name, std::string_view bytes) {
  if (auto failed = FailedWrite()) return *failed;
  state_->files[std::string(name)] = std::string(bytes);
  ++state_->writes;
  return {};
}

FileResult MemoryDataFolder::Remove(std::string_view name) {
  if (auto failed = FailedWrite()) return *failed;
  if (auto found = state_->files.find(name); found != state_->files.end()) {
    state_->lastRemoved.emplace(found->first, std::move(found->second));
    state_->files.erase(found);
    ++state_->writes;
  }
  return {};
}

FileResult MemoryDataFolder::Rename(std::string_view name, std::string_view newName) {
  if (auto failed = FailedWrite()) return *failed;
  const auto found = state_->files.find(name);
  if (found == state_->files.end()) return {Status::NotFound, -1};
  if (File(newName) != nullptr) return {Status::Busy, -1};
  std::string bytes = std::move(found->second);
  state_->files.erase(found);
  state_->files[std::string(newName)] = std::move(bytes);
  ++state_->writes;
  return {};
}

void MemoryDataFolder::LoseLastRemoval() {
  if (!state_->lastRemoved) return;
  state_->files[state_->lastRemoved->first] = std::move(state_->lastRemoved->second);
  state_->lastRemoved.reset();
}

FileResult MemoryDataFolder::Claim() {
  if (auto failed = FailedWrite()) return *failed;
  if (state_->claimedBy != nullptr && state_->claimedBy != this) return {Status::Busy, -1};
  state_->claimedBy = this;
  return {};
}

const std::string* MemoryDataFolder::File(std::string_view name) const {
  const auto found = state_->files.find(name);
  return found == state_->files.end() ? nullptr : &found->second;
}

void MemoryDataFolder::Put(std::string_view name, std::string bytes) {
  state_->files[std::string(name)] = std::move(bytes);
}

}  // namespace drunvale
