// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/linux/file_user_store.h"
#include "platform/temp_dir.h"
#include "settings/parameters_codec.h"
#include "settings/settings.h"

namespace drunvale {
namespace {

using testing::FileMode;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

// Settings saved to and loaded from a real file under a temporary XDG_CONFIG_HOME.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", temp_.path().c_str(), 1);
    store_ = MakeSystemUserStore();
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

  TempDir temp_;
  std::string file_ = temp_.path() + "/Tembrook/Drunvale/1.0.reg";
  std::unique_ptr<UserStore> store_;
};

TEST_F(SettingsFileTest, OddStringsRoundTripThroughTheFile) {
  Settings loaded;
  EXPECT_EQ(loaded.Load(*store_), StoreResult::Failed);

  Settings saved;
  saved.Port = "/dev/serial/by-id/usb-\"K-line\"=adapter]";
  saved.WavZero = "C:\\Звуки\\ноль.wav";
  saved.WavMin = "\\\\server\\share\\\"\\";
  saved.WavOver = "[HKEY_CURRENT_USER\\x]\n\"Port\"=\"evil\"";
  saved.Params.FuelPrice = 54.9f;
  saved.Params.LevelMin.UseTone = false;
  ASSERT_EQ(saved.Save(*store_), StoreResult::Ok);
  EXPECT_EQ(FileMode(file_), 0600u);

  EXPECT_EQ(loaded.Load(*store_), StoreResult::Ok);
  EXPECT_EQ(loaded, saved);
  const std::string text = ReadWholeFile(file_);
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"WavZero\"=\"C:\\\\Звуки\\\\ноль.wav\"\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"WavOver\"=hex(1):"));  // it holds a line break
}

TEST_F(SettingsFileTest, MalformedFilesNeverCrashAndCountAsMissingValues) {
  const std::string header = "[HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0]\n";
  const std::string signature = "Windows Registry Editor Version 5.00\n\n";
  const std::string contents[] = {
      "",
      std::string(5000, '\0'),
      "\xFF\xFE" + signature + header,    // UTF-16 byte order mark
      header + "\"Port\"=\"COM9\"\n",     // no signature
      signature + "\"Port\"=\"COM9\"\n",  // no header
      signature + header + "\"Parameters\"=hex:" + std::string(100000, ',') + "\n",
      signature + header + "\"Parameters\"=hex:01,02,zz\n\"Port\"=hex(1):41\n",
      signature + header + "\"Parameters\"=hex:01,\\\n",
      signature + header + "\"Port\"=\"COM9\n",
  };
  for (const std::string& content : contents) {
    WriteWholeFile(file_, content);
    Settings settings;
    EXPECT_EQ(settings.Load(*store_), StoreResult::Ok);
    EXPECT_EQ(settings, Settings()) << content.substr(0, 80);
  }
}

TEST_F(SettingsFileTest, ATruncatedFileYieldsWholeValuesOrDefaults) {
  Settings saved;
  saved.Port = "/dev/ttyS1";
  saved.WavMin = "beep.wav";
  saved.Params.BaudRate = 38400;
  saved.Params.LevelOver.SampleRate = 22050;
  ASSERT_EQ(saved.Save(*store_), StoreResult::Ok);
  const std::string text = ReadWholeFile(file_);

  const Settings defaults;
  for (size_t length = 0; length < text.size(); ++length) {
    WriteWholeFile(file_, text.substr(0, length));
    Settings settings;
    // A cut may leave nothing readable: either way no half value is taken.
    (void)settings.Load(*store_);
    EXPECT_TRUE(settings.Port == saved.Port || settings.Port == defaults.Port) << length;
    EXPECT_TRUE(settings.WavMin == saved.WavMin || settings.WavMin.empty()) << length;
    EXPECT_TRUE(settings.Params == saved.Params || settings.Params == defaults.Params) << length;
  }
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadWholeIsNeverReplaced) {
  Settings saved;
  saved.Port = "/dev/ttyS1";
  saved.Params.FuelPrice = 55;
  ASSERT_EQ(saved.Save(*store_), StoreResult::Ok);
  // Grown past what is read: half of it saved back would be the whole store lost.
  const std::string big =
      ReadWholeFile(file_) + "\"Pad\"=\"" + std::string(kMaxRegFileBytes, 'x') + "\"\n";
  WriteWholeFile(file_, big);
  Settings loaded;
  EXPECT_EQ(loaded.Load(*store_), StoreResult::Failed);
  EXPECT_EQ(loaded, Settings());
  EXPECT_TRUE(store_->Exists(kSettingsKeyPath));
  Settings other;
  other.Params.FuelPrice = 1;
  EXPECT_EQ(other.Save(*store_), StoreResult::Failed);
  EXPECT_EQ(ReadWholeFile(file_), big);
}

}  // namespace
}  // namespace drunvale
