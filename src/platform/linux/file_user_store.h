// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_store.h"

namespace drunvale {

// The per-user store on Linux: a key below "Software" is a folder under the user's config
// folder, and its values live in a file named after it with ".reg" beside that folder:
//
//   Software                          <config>/                       (always there)
//   Software\Tembrook\Drunvale        <config>/Tembrook/Drunvale/
//   Software\Tembrook\Drunvale\1.0    <config>/Tembrook/Drunvale/1.0.reg
//
// A key exists when its folder or its file does; a level finds a folder or file whose name
// differs from it only in ASCII case, as registry keys do. Creating a key makes the folder of its
// parent; the key's own folder appears only when a key is created below it, its file when it is
// flushed. Writes collect in the open key and Flush (or Close) replaces the file atomically:
// a temporary "<name>.reg.tmp" in the same folder, written, synced and renamed over the old
// file, then the folder synced. A failed or interrupted save leaves the old file whole. Files
// are owner-only (0600), new folders 0700. Files are read whole (at most kMaxRegFileBytes); a
// file that cannot be read whole (a read error, too large, not a regular file) makes its key
// fail to open, for writing too, so that no save replaces what could not be read.
class FileUserStore final : public UserStore {
 public:
  // configDir stands for "Software"; an empty one makes every open fail.
  explicit FileUserStore(std::string configDir) : configDir_(std::move(configDir)) {}

  std::unique_ptr<StoreKey> Open(std::string_view path, StoreAccess access) override;
  bool Exists(std::string_view path) override;

  const std::string& ConfigDir() const { return configDir_; }

 private:
  // The path's levels when it names a key below "Software" of a usable folder; else none.
  std::vector<std::string> Levels(std::string_view path) const;

  std::string configDir_;
};

inline constexpr size_t kMaxRegFileBytes = 8 << 20;

// $XDG_CONFIG_HOME when set to an absolute path, else ~/.config (from $HOME or, failing that,
// the password database); empty when there is no home at all.
std::string UserConfigDir();

}  // namespace drunvale
