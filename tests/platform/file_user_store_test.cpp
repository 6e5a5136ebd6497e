#include "platform/file_user_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/temp_dir.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using testing::FileMode;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

constexpr const char* kKey = "Software\\Tembrook\\Drunvale\\1.0";

std::span<const uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::optional<std::string> QueryText(StoreKey& key, std::string_view name) {
  std::vector<uint8_t> buffer(4096);
  ValueInfo info;
  if (key.Query(name, buffer, info) != QueryStatus::Ok) return std::nullopt;
  return std::string(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(info.Size));
}

// Creates Tembrook, Drunvale and 1.0 below Software, as the settings do.
std::unique_ptr<StoreKey> CreatePath(UserStore& store) {
  auto software = store.Open("Software", StoreAccess::Write);
  auto tembrook = software->CreateSubKey("Tembrook");
  auto drunvale = tembrook ? tembrook->CreateSubKey("Drunvale") : nullptr;
  return drunvale ? drunvale->CreateSubKey("1.0") : nullptr;
}

class FileUserStoreTest : public ::testing::Test {
 protected:
  TempDir temp_;
  // The config folder does not exist yet, as on a fresh account.
  std::string config_ = temp_.path() + "/home/.config";
  std::string folder_ = config_ + "/Tembrook/Drunvale";
  std::string file_ = folder_ + "/1.0.reg";
  FileUserStore store_{config_};
};

TEST_F(FileUserStoreTest, CreatingThePathMakesTwoFoldersAndOneOwnerOnlyFile) {
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Read), nullptr);
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Write), nullptr);

  auto key = CreatePath(store_);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->Set("Port", kRegSz, AsBytes(std::string_view("/dev/ttyS0\0", 11))));
  EXPECT_FALSE(fs::exists(file_)) << "written before the key was flushed";
  EXPECT_TRUE(key->Close());
  EXPECT_TRUE(key->Close());

  EXPECT_TRUE(fs::is_directory(config_ + "/Tembrook"));
  EXPECT_TRUE(fs::is_directory(folder_));
  EXPECT_FALSE(fs::exists(folder_ + "/1.0"));
  EXPECT_FALSE(fs::exists(config_ + "/Tembrook.reg"));
  EXPECT_EQ(FileMode(file_), 0600u);
  EXPECT_EQ(ReadWholeFile(file_),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0]\n"
            "\"Port\"=\"/dev/ttyS0\"\n\n");
  EXPECT_EQ(std::vector<std::string>{"1.0.reg"}, [&] {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }()) << "no temporary file may be left behind";

  for (const char* path : {"Software", "Software\\Tembrook", "Software\\Tembrook\\Drunvale"}) {
    EXPECT_NE(store_.Open(path, StoreAccess::Read), nullptr) << path;
  }
  auto read = store_.Open(kKey, StoreAccess::Read);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(QueryText(*read, "port"), std::string("/dev/ttyS0\0", 11));
}

TEST_F(FileUserStoreTest, QueriesReportTypeAndNeededSizeAndKeepTheBufferOnOverflow) {
  auto key = CreatePath(store_);
  const std::vector<uint8_t> record = {1, 2, 3, 4, 5};
  key->Set("Parameters", kRegBinary, record);
  ASSERT_TRUE(key->Close());

  auto read = store_.Open(kKey, StoreAccess::Read);
  std::vector<uint8_t> buffer(4, 0xEE);
  ValueInfo info;
  EXPECT_EQ(read->Query("Parameters", buffer, info), QueryStatus::MoreData);
  EXPECT_EQ(info.Type, kRegBinary);
  EXPECT_EQ(info.Size, 5u);
  EXPECT_THAT(buffer, ::testing::Each(0xEE));

  buffer.resize(5);
  EXPECT_EQ(read->Query("Parameters", buffer, info), QueryStatus::Ok);
  EXPECT_EQ(buffer, record);
  EXPECT_EQ(read->Query("Missing", buffer, info), QueryStatus::NotFound);

  // A key opened for reading refuses writes and new keys.
  EXPECT_FALSE(read->Set("Port", kRegSz, AsBytes(std::string_view("x\0", 2))));
  EXPECT_EQ(read->CreateSubKey("Below"), nullptr);
}

TEST_F(FileUserStoreTest, RewritingKeepsValuesThatWereNotSet) {
  auto key = CreatePath(store_);
  key->Set("Port", kRegSz, AsBytes(std::string_view("a\0", 2)));
  key->Set("WavMin", kRegSz, AsBytes(std::string_view("b\0", 2)));
  ASSERT_TRUE(key->Close());

  auto again = store_.Open(kKey, StoreAccess::Write);
  ASSERT_NE(again, nullptr);
  again->Set("PORT", kRegSz, AsBytes(std::string_view("c\0", 2)));
  ASSERT_TRUE(again->Flush());
  auto read = store_.Open(kKey, StoreAccess::Read);
  EXPECT_EQ(QueryText(*read, "Port"), std::string("c\0", 2));
  EXPECT_EQ(QueryText(*read, "WavMin"), std::string("b\0", 2));
}

TEST_F(FileUserStoreTest, AFailedSaveLeavesTheOldFileWhole) {
  auto key = CreatePath(store_);
  key->Set("Port", kRegSz, AsBytes(std::string_view("old\0", 4)));
  ASSERT_TRUE(key->Close());
  const std::string before = ReadWholeFile(file_);

  fs::create_directory(file_ + ".tmp");  // something in the temporary file's way
  auto blocked = store_.Open(kKey, StoreAccess::Write);
  blocked->Set("Port", kRegSz, AsBytes(std::string_view("new\0", 4)));
  EXPECT_FALSE(blocked->Flush());
  EXPECT_FALSE(blocked->Close());
  EXPECT_EQ(ReadWholeFile(file_), before);
  fs::remove(file_ + ".tmp");

  // A leftover temporary file of an interrupted save is simply replaced.
  WriteWholeFile(file_ + ".tmp", "half a save");
  auto next = store_.Open(kKey, StoreAccess::Write);
  next->Set("Port", kRegSz, AsBytes(std::string_view("new\0", 4)));
  EXPECT_TRUE(next->Close());
  EXPECT_FALSE(fs::exists(file_ + ".tmp"));
  EXPECT_EQ(QueryText(*store_.Open(kKey, StoreAccess::Read), "Port"), std::string("new\0", 4));
}

TEST_F(FileUserStoreTest, AReadOnlyFolderFailsTheSaveAndKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  auto key = CreatePath(store_);
  key->Set("Port", kRegSz, AsBytes(std::string_view("old\0", 4)));
  ASSERT_TRUE(key->Close());
  const std::string before = ReadWholeFile(file_);
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);

  auto blocked = store_.Open(kKey, StoreAccess::Write);
  ASSERT_NE(blocked, nullptr);
  blocked->Set("Port", kRegSz, AsBytes(std::string_view("new\0", 4)));
  EXPECT_FALSE(blocked->Close());
  EXPECT_EQ(ReadWholeFile(file_), before);
}

TEST_F(FileUserStoreTest, PathsOutsideTheStoreAreRefused) {
  for (const char* path :
       {"", "Software\\..\\x", "Software\\a/b", "Software\\\\x", "Other", "Software\\Tembrook\\"}) {
    EXPECT_EQ(store_.Open(path, StoreAccess::Write), nullptr) << path;
  }
  auto software = store_.Open("Software", StoreAccess::Write);
  EXPECT_EQ(software->CreateSubKey(".."), nullptr);
  EXPECT_EQ(software->CreateSubKey("a/b"), nullptr);
  EXPECT_FALSE(software->Set("Port", kRegSz, AsBytes(std::string_view("x\0", 2))));

  // A file where a folder belongs stops the path from being built.
  WriteWholeFile(config_ + "/Tembrook", "not a folder");
  auto tembrook = software->CreateSubKey("Tembrook");
  ASSERT_NE(tembrook, nullptr);  // the key itself needs only its parent folder
  EXPECT_EQ(tembrook->CreateSubKey("Drunvale"), nullptr);
  EXPECT_EQ(FileUserStore("").Open("Software", StoreAccess::Read), nullptr);
  EXPECT_EQ(FileUserStore("relative/dir").Open("Software", StoreAccess::Read), nullptr);
}

TEST_F(FileUserStoreTest, UnreadableFilesCountAsMissingValues) {
  WriteWholeFile(file_, "\x89PNG garbage\n\0\0\n");
  auto key = store_.Open(kKey, StoreAccess::Read);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(QueryText(*key, "Port"), std::nullopt);

  fs::remove(file_);
  fs::create_directory(file_);  // a folder in the file's place
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Read), nullptr);
}

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserConfigDir, FollowsXdgConfigHomeOnlyWhenItIsAbsolute) {
  ScopedEnv home("HOME", "/home/driver");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/elsewhere/config");
    EXPECT_EQ(UserConfigDir(), "/elsewhere/config");
  }
  for (const char* ignored : {"", "relative/config"}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
    EXPECT_EQ(UserConfigDir(), "/home/driver/.config") << ignored;
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(UserConfigDir(), "/home/driver/.config");
}

}  // namespace
}  // namespace drunvale
