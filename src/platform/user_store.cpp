// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/user_store.h"

#include <algorithm>
#include <cstring>

namespace drunvale {
namespace {

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

bool SameStoreName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

bool IsValidValueName(std::string_view name) {
  return name.size() <= 16383 && !HasControlCharacter(name);
}

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
         name.find_first_of("\\/") == std::string_view::npos && !HasControlCharacter(name);
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> levels;
  while (true) {
    const size_t cut = path.find('\\');
    const std::string_view level = path.substr(0, cut);
    if (!IsValidKeyName(level)) return {};
    levels.emplace_back(level);
    if (cut == std::string_view::npos) return levels;
    path.remove_prefix(cut + 1);
  }
}

QueryStatus CopyValueOut(const StoreValue& value, std::span<uint8_t> buffer, ValueInfo& info) {
  info.Type = value.Type;
  info.Size = value.Data.size();
  if (value.Data.size() > buffer.size()) return QueryStatus::MoreData;
  if (!value.Data.empty()) std::memcpy(buffer.data(), value.Data.data(), value.Data.size());
  return QueryStatus::Ok;
}

}  // namespace drunvale
