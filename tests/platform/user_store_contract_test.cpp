// SPDX-License-Identifier: GPL-3.0-or-later
// What the settings rely on from the per-user store, run over the platform's real one.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/contract_store.h"
#include "settings/settings.h"

namespace drunvale::testing {
namespace {

constexpr const char* kKey = "Software\\Tembrook\\Drunvale\\1.0";
using Bytes = std::vector<uint8_t>;

Bytes BytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

class UserStoreContract : public ::testing::Test {
 protected:
  // Creates Tembrook, Drunvale and 1.0 below Software one level at a time, as the settings do.
  std::unique_ptr<StoreKey> CreatePath() {
    auto software = store_.Open("Software", StoreAccess::Write);
    auto tembrook = software ? software->CreateSubKey("Tembrook") : nullptr;
    auto drunvale = tembrook ? tembrook->CreateSubKey("Drunvale") : nullptr;
    return drunvale ? drunvale->CreateSubKey("1.0") : nullptr;
  }
  // The value read back through a new key, with a byte limit.
  QueryStatus Read(std::string_view name, size_t limit, ValueInfo& info, Bytes& data) {
    auto key = store_.Open(kKey, StoreAccess::Read);
    if (!key) return QueryStatus::NotFound;
    data.assign(limit, 0xEE);
    const QueryStatus status = key->Query(name, data, info);
    if (status == QueryStatus::Ok) data.resize(info.Size);
    return status;
  }

  std::unique_ptr<ContractStore> place_ = MakeContractStore();
  UserStore& store_ = place_->Store();
};

TEST_F(UserStoreContract, KeysAreMissingUntilCreatedLevelByLevelAndReadKeysOnlyRead) {
  EXPECT_FALSE(store_.Exists(kKey));
  EXPECT_TRUE(store_.Exists("Software"));
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Read), nullptr);
  EXPECT_EQ(store_.Open(kKey, StoreAccess::Write), nullptr);
  for (const char* bad : {"", "Other", "Software\\..\\x", "Software\\a/b", "Software\\\\x"})
    EXPECT_EQ(store_.Open(bad, StoreAccess::Write), nullptr) << bad;
  auto software = store_.Open("Software", StoreAccess::Write);
  ASSERT_NE(software, nullptr);
  EXPECT_FALSE(software->Set("Port", kRegSz, BytesOf(std::string_view("x", 2))));
  EXPECT_EQ(software->CreateSubKey(".."), nullptr);

  auto key = CreatePath();
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->Set("Port", kRegSz, BytesOf(std::string_view("COM3", 5))));
  EXPECT_FALSE(key->Set("Bad\nname", kRegSz, BytesOf(std::string_view("x", 2))));
  EXPECT_TRUE(key->Close());
  EXPECT_TRUE(key->Close());

  EXPECT_TRUE(store_.Exists(kKey));
  EXPECT_NE(store_.Open("Software\\Tembrook", StoreAccess::Read), nullptr);
  auto read = store_.Open(kKey, StoreAccess::Read);
  ASSERT_NE(read, nullptr);
  EXPECT_FALSE(read->Set("Port", kRegSz, BytesOf(std::string_view("x", 2))));
  EXPECT_EQ(read->CreateSubKey("Below"), nullptr);
  Bytes data(16);
  ValueInfo info;
  EXPECT_EQ(read->Query("PORT", data, info), QueryStatus::Ok);
  EXPECT_EQ(info.Type, kRegSz);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<ptrdiff_t>(info.Size)),
            BytesOf(std::string_view("COM3", 5)));
}

// Key levels, like value names, are one key whatever their ASCII case.
TEST_F(UserStoreContract, KeyLevelsAreFoundWhateverTheirCase) {
  auto key = CreatePath();
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->Set("Port", kRegSz, BytesOf(std::string_view("COM3", 5))));
  ASSERT_TRUE(key->Close());

  EXPECT_TRUE(store_.Exists("SOFTWARE\\tembrook\\DRUNVALE\\1.0"));
  auto tembrook = store_.Open("software\\TEMBROOK", StoreAccess::Write);
  ASSERT_NE(tembrook, nullptr);
  auto drunvale = tembrook->CreateSubKey("drunvale");
  auto same = drunvale ? drunvale->CreateSubKey("1.0") : nullptr;
  ASSERT_NE(same, nullptr);
  ValueInfo info;
  Bytes data(16);
  EXPECT_EQ(same->Query("Port", data, info), QueryStatus::Ok);
  EXPECT_TRUE(same->Set("WavMin", kRegSz, BytesOf(std::string_view("a.wav", 6))));
  ASSERT_TRUE(same->Close());
  EXPECT_EQ(Read("Port", 16, info, data), QueryStatus::Ok);
  EXPECT_EQ(Read("WavMin", 16, info, data), QueryStatus::Ok);
}

// Sizes and limits count the bytes the settings hand over (UTF-8), whatever the store keeps.
TEST_F(UserStoreContract, ValuesComeBackWithTheirTypeAndBytesWithinTheByteLimit) {
  const std::string cyrillic = "C:\\Звуки\\ноль.wav";
  std::string full;  // 2047 two-byte letters, one ASCII letter and the NUL: 4096 bytes
  for (int i = 0; i < 2047; ++i)
    full += "ж";
  full += 'x';
  const Bytes binary = {0x00, 0xFF, 0x10, 0x00, 0x7F};
  {
    auto key = CreatePath();
    ASSERT_NE(key, nullptr);
    key->Set("WavZero", kRegSz, BytesOf(std::string_view(cyrillic.c_str(), cyrillic.size() + 1)));
    key->Set("WavMin", kRegExpandSz, BytesOf(std::string_view("%TEMP%\\a.wav", 13)));
    key->Set("Fits", kRegSz, BytesOf(std::string_view(full.c_str(), full.size() + 1)));
    key->Set("TooLong", kRegSz, BytesOf(full + "y" + '\0'));
    key->Set("Empty", kRegSz, {});
    key->Set("Parameters", kRegBinary, binary);
    ASSERT_TRUE(key->Close());
  }
  ValueInfo info;
  Bytes data;
  EXPECT_EQ(Read("WavZero", 4096, info, data), QueryStatus::Ok);
  EXPECT_EQ(data, BytesOf(std::string_view(cyrillic.c_str(), cyrillic.size() + 1)));
  EXPECT_EQ(Read("WavMin", 4096, info, data), QueryStatus::Ok);
  EXPECT_EQ(info.Type, kRegExpandSz);
  EXPECT_EQ(data, BytesOf(std::string_view("%TEMP%\\a.wav", 13)));  // never expanded
  EXPECT_EQ(Read("Fits", 4096, info, data), QueryStatus::Ok);
  EXPECT_EQ(info.Size, 4096u);
  EXPECT_EQ(Read("TooLong", 4096, info, data), QueryStatus::MoreData);
  EXPECT_EQ(info.Size, 4097u);
  EXPECT_EQ(data, Bytes(4096, 0xEE));  // untouched
  EXPECT_EQ(Read("Empty", 4096, info, data), QueryStatus::Ok);
  EXPECT_EQ(info.Size, 0u);
  EXPECT_EQ(Read("Parameters", 76, info, data), QueryStatus::Ok);
  EXPECT_EQ(info.Type, kRegBinary);
  EXPECT_EQ(data, binary);
  EXPECT_EQ(Read("Parameters", 4, info, data), QueryStatus::MoreData);
  EXPECT_EQ(Read("Missing", 4096, info, data), QueryStatus::NotFound);
}

TEST_F(UserStoreContract, SettingsSurviveASaveAndALoad) {
  Settings loaded;
  EXPECT_EQ(loaded.Load(store_), StoreResult::Failed);
  Settings saved;
  saved.Port = "COM7";
  saved.WavZero = "C:\\Звуки\\ноль.wav";
  saved.WavOver = "\\\\server\\share\\\"x\"\n";
  saved.Params.FuelPrice = 54.9f;
  saved.Params.LevelMin.UseTone = false;
  ASSERT_EQ(saved.Save(store_), StoreResult::Ok);
  EXPECT_EQ(loaded.Load(store_), StoreResult::Ok);
  EXPECT_EQ(loaded, saved);
}

}  // namespace
}  // namespace drunvale::testing
