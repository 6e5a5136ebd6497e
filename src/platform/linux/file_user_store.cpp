// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/file_user_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/atomic_file.h"
#include "platform/reg_file.h"

namespace drunvale {
namespace {

struct KeyPlace {
  std::string Folder;  // the key's own folder
  std::string File;    // its values; empty for the root, which holds none
  std::string Header;  // the section header inside the file
};

KeyPlace PlaceOf(const std::string& configDir, const std::vector<std::string>& levels) {
  KeyPlace place{configDir, {}, "HKEY_CURRENT_USER"};
  for (size_t i = 0; i < levels.size(); ++i) {
    if (i > 0) place.Folder += "/" + levels[i];
    place.Header += "\\" + levels[i];
  }
  if (levels.size() > 1) place.File = place.Folder + ".reg";
  return place;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsThere(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// How a key level is spelt on disk in folder: an entry that names it without regard to ASCII
// case, as its folder or as its file "<level>.reg", since key levels compare so in the
// registry; the level as given when there is none yet. An exact match wins.
std::string SpellingOnDisk(const std::string& folder, const std::string& level) {
  const std::string exact = folder + "/" + level;
  if (IsThere(exact) || IsThere(exact + ".reg")) return level;
  DIR* entries = opendir(folder.c_str());
  if (entries == nullptr) return level;
  std::string found = level;
  while (const dirent* entry = readdir(entries)) {
    std::string_view name = entry->d_name;
    if (name.ends_with(".reg")) name.remove_suffix(4);
    if (SameStoreName(name, level)) {
      found = name;
      break;
    }
  }
  closedir(entries);
  return found;
}

// The levels as the keys already on disk spell them.
std::vector<std::string> SpeltAsOnDisk(const std::string& configDir,
                                       std::vector<std::string> levels) {
  levels.front() = "Software";
  std::string folder = configDir;
  for (size_t i = 1; i < levels.size(); ++i) {
    levels[i] = SpellingOnDisk(folder, levels[i]);
    folder += "/" + levels[i];
  }
  return levels;
}

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(path));
}

// The config folder with every missing folder above it, then the key's own folders below it.
bool MakeFolders(const std::string& configDir, const std::vector<std::string>& levels) {
  for (size_t slash = configDir.find('/', 1); slash != std::string::npos;
       slash = configDir.find('/', slash + 1)) {
    if (!MakeFolder(configDir.substr(0, slash))) return false;
  }
  std::string folder = configDir;
  if (!MakeFolder(folder)) return false;
  for (size_t i = 1; i < levels.size(); ++i) {
    folder += "/" + levels[i];
    if (!MakeFolder(folder)) return false;
  }
  return true;
}

enum class FileState { Missing, Read, Unreadable };

FileState ReadKeyFile(const KeyPlace& place, std::vector<StoreValue>& values) {
  // Non-blocking, so that a FIFO put in the file's place cannot hang the open.
  const int fd = open(place.File.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0)
    return (errno == ENOENT || errno == ENOTDIR) ? FileState::Missing : FileState::Unreadable;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return FileState::Unreadable;
  }
  std::string text;
  bool complete = true;
  char chunk[16384];
  while (true) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      complete = n == 0;
      break;
    }
    if (text.size() + static_cast<size_t>(n) > kMaxRegFileBytes) {
      complete = false;
      break;
    }
    text.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  // Half a file would be saved back as the whole: a read that fails, or a file too large to
  // hold, leaves the key unreadable, and so untouched.
  if (!complete) return FileState::Unreadable;
  values = ParseRegFile(text, place.Header);
  return FileState::Read;
}

class FileKey final : public StoreKey {
 public:
  FileKey(const std::string& configDir, std::vector<std::string> levels, StoreAccess access,
          std::vector<StoreValue> values, bool mustCreate)
      : configDir_(configDir),
        levels_(std::move(levels)),
        access_(access),
        values_(std::move(values)),
        mustCreate_(mustCreate) {}
  ~FileKey() override { Close(); }

  QueryStatus Query(std::string_view name, std::span<uint8_t> buffer, ValueInfo& info) override {
    if (closed_) return QueryStatus::NotFound;
    const auto value = Find(name);
    return value == values_.end() ? QueryStatus::NotFound : CopyValueOut(*value, buffer, info);
  }

  bool Set(std::string_view name, uint32_t type, std::span<const uint8_t> data) override {
    if (closed_ || access_ != StoreAccess::Write || levels_.size() < 2 || !IsValidValueName(name) ||
        data.size() > kMaxStoreValueBytes) {
      return false;
    }
    StoreValue value{std::string(name), type, {data.begin(), data.end()}};
    const auto same = Find(name);
    if (same != values_.end()) {
      *same = std::move(value);
    } else {
      values_.push_back(std::move(value));
    }
    dirty_ = true;
    return true;
  }

  std::unique_ptr<StoreKey> CreateSubKey(std::string_view name) override;

  bool Flush() override {
    if (closed_) return false;
    if (access_ != StoreAccess::Write || levels_.size() < 2) return true;
    const KeyPlace place = PlaceOf(configDir_, levels_);
    // A key created here must exist afterwards: through its folder, or else through its file.
    const bool mustAppear = mustCreate_ && !IsDirectory(place.Folder);
    if (!dirty_ && !mustAppear) return true;
    if (ReplaceFileAtomically(place.File, FormatRegFile(place.Header, values_)) != 0) return false;
    dirty_ = false;
    mustCreate_ = false;
    return true;
  }

  bool Close() override {
    if (closed_) return true;
    const bool flushed = Flush();
    closed_ = true;
    values_.clear();
    return flushed;
  }

 private:
  std::vector<StoreValue>::iterator Find(std::string_view name) {
    return std::find_if(values_.begin(), values_.end(),
                        [&](const StoreValue& value) { return SameStoreName(value.Name, name); });
  }

  std::string configDir_;
  std::vector<std::string> levels_;
  StoreAccess access_;
  std::vector<StoreValue> values_;
  bool mustCreate_;  // created by this key and not yet on disk
  bool dirty_ = false;
  bool closed_ = false;
};

std::unique_ptr<StoreKey> LoadKey(const std::string& configDir, std::vector<std::string> levels,
                                  StoreAccess access, bool create) {
  levels = SpeltAsOnDisk(configDir, std::move(levels));
  const KeyPlace place = PlaceOf(configDir, levels);
  std::vector<StoreValue> values;
  const FileState file = levels.size() > 1 ? ReadKeyFile(place, values) : FileState::Missing;
  // A file that is there but cannot be read must not be replaced by a save either.
  if (file == FileState::Unreadable) return nullptr;
  const bool exists = levels.size() == 1 || file == FileState::Read || IsDirectory(place.Folder);
  if (!exists && !create) return nullptr;
  return std::make_unique<FileKey>(configDir, std::move(levels), access, std::move(values),
                                   !exists);
}

std::unique_ptr<StoreKey> FileKey::CreateSubKey(std::string_view name) {
  if (closed_ || access_ != StoreAccess::Write || !IsValidKeyName(name)) return nullptr;
  if (!MakeFolders(configDir_, levels_)) return nullptr;
  std::vector<std::string> child = levels_;
  child.emplace_back(name);
  return LoadKey(configDir_, std::move(child), StoreAccess::Write, true);
}

}  // namespace

std::vector<std::string> FileUserStore::Levels(std::string_view path) const {
  std::vector<std::string> levels = SplitKeyPath(path);
  if (configDir_.empty() || configDir_.front() != '/' || levels.empty() ||
      !SameStoreName(levels.front(), "Software")) {
    return {};
  }
  return levels;
}

std::unique_ptr<StoreKey> FileUserStore::Open(std::string_view path, StoreAccess access) {
  std::vector<std::string> levels = Levels(path);
  if (levels.empty()) return nullptr;
  return LoadKey(configDir_, std::move(levels), access, false);
}

bool FileUserStore::Exists(std::string_view path) {
  std::vector<std::string> levels = Levels(path);
  if (levels.size() <= 1) return levels.size() == 1;
  const KeyPlace place = PlaceOf(configDir_, SpeltAsOnDisk(configDir_, std::move(levels)));
  return IsDirectory(place.Folder) || IsThere(place.File);
}

std::string UserConfigDir() {
  return XdgBaseFolder("XDG_CONFIG_HOME", ".config");
}

std::unique_ptr<UserStore> MakeSystemUserStore() {
  return std::make_unique<FileUserStore>(UserConfigDir());
}

std::string SystemUserStorePlace(std::string_view path) {
  std::vector<std::string> levels = SplitKeyPath(path);
  if (levels.size() <= 1) return "$XDG_CONFIG_HOME";
  std::string file;
  for (size_t i = 1; i < levels.size(); ++i)
    file += "/" + levels[i];
  file += ".reg";
  return "$XDG_CONFIG_HOME" + file + ", which is\n~/.config" + file +
         " unless XDG_CONFIG_HOME is set";
}

}  // namespace drunvale
