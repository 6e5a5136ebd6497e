// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/file_user_store.h"
#include "platform/data_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/temp_dir.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

constexpr const char* kKey = "Software\\Tembrook\\Drunvale\\1.0";

bool SetText(StoreKey& key, std::string_view name, std::string_view text) {
  const std::string bytes = std::string(text) + '\0';
  return key.Set(name, kRegSz, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

std::optional<std::string> QueryText(StoreKey& key, std::string_view name) {
  std::vector<uint8_t> buffer(4096);
  ValueInfo info;
  if (key.Query(name, buffer, info) != QueryStatus::Ok || info.Size == 0) return std::nullopt;
  return std::string(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(info.Size) - 1);
}

class FileUserStoreTest : public ::testing::Test {
 protected:
  // Creates Tembrook, Drunvale and 1.0 below Software, as the settings do.
  std::unique_ptr<StoreKey> CreatePath() {
    auto tembrook = store_.Open("Software", StoreAccess::Write)->CreateSubKey("Tembrook");
    auto drunvale = tembrook ? tembrook->CreateSubKey("Drunvale") : nullptr;
    return drunvale ? drunvale->CreateSubKey("1.0") : nullptr;
  }

  testing::TempDir temp_;
  // The config folder does not exist yet, as on a fresh account.
  std::string config_ = temp_.path() + "/home/.config";
  std::string folder_ = config_ + "/Tembrook/Drunvale";
  std::string file_ = folder_ + "/1.0.reg";
  FileUserStore store_{config_};
};

TEST_F(FileUserStoreTest, CreatingThePathMakesTwoFoldersAndOneOwnerOnlyFile) {
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Read), nullptr);
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Write), nullptr);

  auto key = CreatePath();
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(SetText(*key, "Port", "/dev/ttyS0"));
  EXPECT_FALSE(fs::exists(file_)) << "written before the key was closed";
  EXPECT_TRUE(key->Close());
  EXPECT_TRUE(key->Close());

  EXPECT_TRUE(fs::is_directory(folder_));
  EXPECT_EQ(testing::FileMode(file_), 0600u);
  EXPECT_EQ(ReadWholeFile(file_),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0]\n"
            "\"Port\"=\"/dev/ttyS0\"\n\n");
  // Nothing else: no folder for the leaf key, no key files for the levels, no temporary file.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(config_), {}), 1);

  for (const char* path : {"Software\\Tembrook", "Software\\Tembrook\\Drunvale"}) {
    EXPECT_NE(store_.Open(path, StoreAccess::Read), nullptr) << path;
  }
  auto read = store_.Open(kKey, StoreAccess::Read);
  EXPECT_EQ(QueryText(*read, "port"), "/dev/ttyS0");
  EXPECT_FALSE(SetText(*read, "Port", "x"));
  EXPECT_EQ(read->CreateSubKey("Below"), nullptr);
}

TEST_F(FileUserStoreTest, RewritingKeepsTheValuesThatWereNotSet) {
  auto key = CreatePath();
  SetText(*key, "Port", "a");
  SetText(*key, "WavMin", "b");
  ASSERT_TRUE(key->Close());

  auto again = store_.Open(kKey, StoreAccess::Write);
  SetText(*again, "PORT", "c");
  ASSERT_TRUE(again->Flush());
  auto read = store_.Open(kKey, StoreAccess::Read);
  EXPECT_EQ(QueryText(*read, "Port"), "c");
  EXPECT_EQ(QueryText(*read, "WavMin"), "b");
}

TEST_F(FileUserStoreTest, AFailedSaveLeavesTheOldFileWhole) {
  auto key = CreatePath();
  SetText(*key, "Port", "old");
  ASSERT_TRUE(key->Close());
  const std::string before = ReadWholeFile(file_);

  fs::create_directory(file_ + ".tmp");  // something in the temporary file's way
  auto blocked = store_.Open(kKey, StoreAccess::Write);
  SetText(*blocked, "Port", "new");
  EXPECT_FALSE(blocked->Flush());
  EXPECT_FALSE(blocked->Close());
  EXPECT_EQ(ReadWholeFile(file_), before);
  fs::remove(file_ + ".tmp");

  // The leftover of an interrupted save is simply replaced.
  WriteWholeFile(file_ + ".tmp", "half a save");
  auto next = store_.Open(kKey, StoreAccess::Write);
  SetText(*next, "Port", "new");
  EXPECT_TRUE(next->Close());
  EXPECT_FALSE(fs::exists(file_ + ".tmp"));
  EXPECT_EQ(QueryText(*store_.Open(kKey, StoreAccess::Read), "Port"), "new");
}

TEST_F(FileUserStoreTest, BadPathsAndThingsInTheWayFailWithoutHarm) {
  for (const char* path : {"", "Software\\..\\x", "Software\\a/b", "Software\\\\x", "Other"}) {
    EXPECT_EQ(store_.Open(path, StoreAccess::Write), nullptr) << path;
  }
  auto software = store_.Open("Software", StoreAccess::Write);
  EXPECT_EQ(software->CreateSubKey(".."), nullptr);
  EXPECT_FALSE(SetText(*software, "Port", "x"));  // the root holds no values
  WriteWholeFile(config_ + "/Tembrook", "a file where a folder belongs");
  EXPECT_EQ(software->CreateSubKey("Tembrook")->CreateSubKey("Drunvale"), nullptr);
  EXPECT_EQ(FileUserStore("relative/dir").Open("Software", StoreAccess::Read), nullptr);

  fs::remove(config_ + "/Tembrook");
  WriteWholeFile(file_, "\x89PNG garbage\n");
  EXPECT_EQ(QueryText(*store_.Open(kKey, StoreAccess::Read), "Port"), std::nullopt);
  fs::remove(file_);
  fs::create_directory(file_);  // a folder in the file's place is no key
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Read), nullptr);
}

TEST(UserConfigDir, FollowsXdgConfigHomeOnlyWhenItIsAbsoluteAndTheDataFolderXdgDataHome) {
  const std::optional<std::string> home =
      std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
  setenv("HOME", "/home/driver", 1);
  setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
  EXPECT_EQ(UserConfigDir(), "/elsewhere/config");
  for (const char* ignored : {"", "relative/config"}) {
    setenv("XDG_CONFIG_HOME", ignored, 1);
    EXPECT_EQ(UserConfigDir(), "/home/driver/.config") << ignored;
  }
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(UserConfigDir(), "/home/driver/.config");
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> dataHome =
      data ? std::optional<std::string>(data) : std::nullopt;
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(OpenUserDataFolder()->Path(), "/home/driver/.local/share/Tembrook/Drunvale");
  setenv("XDG_DATA_HOME", "/elsewhere/data", 1);
  EXPECT_EQ(OpenUserDataFolder()->PathOf("trips.csv"),
            "/elsewhere/data/Tembrook/Drunvale/trips.csv");
  dataHome ? setenv("XDG_DATA_HOME", dataHome->c_str(), 1) : unsetenv("XDG_DATA_HOME");
  home ? setenv("HOME", home->c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace drunvale
