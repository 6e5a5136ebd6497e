// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/serial_port.h"
#include "platform/testing/memory_user_store.h"
#include "settings/parameters_codec.h"
#include "settings/settings.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;

constexpr const char* kKey = "Software\\Tembrook\\Drunvale\\1.0";

std::vector<uint8_t> Sz(std::string_view text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Settings Custom() {
  Settings s;
  s.Port = "/dev/ttyS3";
  s.WavZero = "zero.wav";
  s.WavMin = "min.wav";
  s.WavOver = "over.wav";
  s.Params.BaudRate = 57600;
  s.Params.FuelPrice = 52.5f;
  s.Params.LevelOver.ToneHz = 1000;
  s.Adapter = AdapterKind::Elm;
  s.Source = DataSourceKind::StandardObd;
  s.Fuel = {.displacementCc = 1596, .afrHundredths = 1410, .densityGL = 750};
  return s;
}

TEST(SettingsStore, FirstStartKeepsDefaultsAndTheFirstSaveBuildsThePath) {
  MemoryUserStore store;
  Settings settings;
  EXPECT_EQ(settings.Load(store), StoreResult::Failed);
  EXPECT_EQ(settings, Settings());

  store.ClearLog();
  EXPECT_EQ(settings.Save(store), StoreResult::Ok);
  EXPECT_THAT(
      store.Log(),
      ElementsAre("open-write Software\\Tembrook\\Drunvale\\1.0 failed", "open-write Software",
                  "create Software\\Tembrook", "create Software\\Tembrook\\Drunvale",
                  "create Software\\Tembrook\\Drunvale\\1.0", "close Software",
                  "close Software\\Tembrook", "close Software\\Tembrook\\Drunvale", "set Port",
                  "set WavZero", "set WavMin", "set WavOver", "set Parameters",
                  "set AdapterKind", "set DataSource", "set Displacement",
                  "set StoichiometricAfr", "set FuelDensity",
                  "close Software\\Tembrook\\Drunvale\\1.0"));
  const auto image = EncodeParameters(settings.Params);
  EXPECT_THAT(store.Values(kKey),
              ElementsAre(StoreValue{"Port", kRegSz, Sz(DefaultSerialPort())},
                          StoreValue{"WavZero", kRegSz, {0}}, StoreValue{"WavMin", kRegSz, {0}},
                          StoreValue{"WavOver", kRegSz, {0}},
                          StoreValue{"Parameters", kRegBinary, {image.begin(), image.end()}},
                          StoreValue{"AdapterKind", kRegDword, {0, 0, 0, 0}},
                          StoreValue{"DataSource", kRegDword, {0, 0, 0, 0}},
                          StoreValue{"Displacement", kRegDword, {0, 0, 0, 0}},
                          StoreValue{"StoichiometricAfr", kRegDword, {0xBE, 0x05, 0, 0}},
                          StoreValue{"FuelDensity", kRegDword, {0xE9, 0x02, 0, 0}}));

  // Once there, the key is opened directly, and everything comes back.
  store.ClearLog();
  const Settings custom = Custom();
  EXPECT_EQ(custom.Save(store), StoreResult::Ok);
  EXPECT_EQ(store.Log().front(), "open-write Software\\Tembrook\\Drunvale\\1.0");
  Settings loaded;
  EXPECT_EQ(loaded.Load(store), StoreResult::Ok);
  EXPECT_EQ(loaded, custom);
}

TEST(SettingsStore, SaveFailsWithoutWritingWhenThePathCannotBeBuilt) {
  MemoryUserStore store;
  store.FailCreate("Software\\Tembrook\\Drunvale");
  EXPECT_EQ(Custom().Save(store), StoreResult::Failed);
  EXPECT_THAT(store.Log(), ElementsAre("open-write Software\\Tembrook\\Drunvale\\1.0 failed",
                                       "open-write Software", "create Software\\Tembrook",
                                       "create Software\\Tembrook\\Drunvale failed",
                                       "close Software", "close Software\\Tembrook"));
  EXPECT_TRUE(store.HasKey("Software\\Tembrook"));  // what was created stays

  MemoryUserStore locked;
  locked.FailOpen("Software");
  EXPECT_EQ(Custom().Save(locked), StoreResult::Failed);
  EXPECT_FALSE(locked.HasKey(kKey));
}

TEST(SettingsStore, SingleWriteFailuresAreIgnoredButALostCommitIsNot) {
  MemoryUserStore store;
  store.AddKey(kKey);
  store.FailSet("WavMin");
  EXPECT_EQ(Custom().Save(store), StoreResult::Ok);
  EXPECT_EQ(store.Find(kKey, "WavMin"), nullptr);
  ASSERT_NE(store.Find(kKey, "WavOver"), nullptr);
  EXPECT_NE(store.Find(kKey, "Parameters"), nullptr);

  MemoryUserStore full;
  full.AddKey(kKey);
  full.FailCommit(kKey);
  EXPECT_EQ(Custom().Save(full), StoreResult::Failed);
  EXPECT_EQ(full.Find(kKey, "Port"), nullptr);
}

TEST(SettingsStore, LoadKeepsEverythingWithoutTheKeyAndReadsEachValueOnceInOrder) {
  MemoryUserStore store;
  Settings settings = Custom();
  EXPECT_EQ(settings.Load(store), StoreResult::Failed);
  EXPECT_EQ(settings, Custom());

  store.AddKey(kKey);
  store.ClearLog();
  EXPECT_EQ(settings.Load(store), StoreResult::Ok);
  EXPECT_EQ(settings, Custom());
  EXPECT_THAT(store.Log(),
              ElementsAre("open-read Software\\Tembrook\\Drunvale\\1.0", "query Port",
                          "query WavZero", "query WavMin", "query WavOver", "query Parameters",
                          "query AdapterKind", "query DataSource", "query Displacement",
                          "query StoichiometricAfr", "query FuelDensity",
                          "close Software\\Tembrook\\Drunvale\\1.0"));
}

TEST(SettingsStore, ShortLongAndMistypedRecords) {
  Parameters stored;
  ResetParameters(stored);
  stored.BaudRate = 38400;
  stored.DtrOn = false;
  stored.FuelPrice = 61.25f;
  stored.OverLimit = 33;
  const Parameters expected = stored;  // all of it within the first 12 bytes
  stored.LevelZero.ToneHz = 999;
  const ParametersImage image = EncodeParameters(stored);

  // 12 bytes: the head from the store, every level record from the defaults (not from the
  // record as it was before).
  MemoryUserStore store;
  store.Put(kKey, "Parameters", kRegBinary, {image.begin(), image.begin() + 12});
  Settings settings = Custom();
  EXPECT_EQ(settings.Load(store), StoreResult::Ok);
  EXPECT_EQ(settings.Params, expected);

  std::vector<uint8_t> longer(image.begin(), image.end());
  longer.push_back(0);
  for (const auto& [type, bytes] :
       {std::pair{kRegBinary, longer},
        std::pair{kRegSz, std::vector<uint8_t>(image.begin(), image.end())}}) {
    MemoryUserStore odd;
    odd.Put(kKey, "Parameters", type, bytes);
    Settings kept = Custom();
    EXPECT_EQ(kept.Load(odd), StoreResult::Ok);
    EXPECT_EQ(kept.Params, Custom().Params) << "type " << type << ", " << bytes.size() << " bytes";
  }
}

TEST(SettingsStore, StringValuesAreTakenOnlyWhenTypedAndTerminated) {
  const std::string longest(4095, 'p');
  struct Case {
    uint32_t type;
    std::vector<uint8_t> bytes;
    std::string port;  // what Port becomes; "kept" when the value is ignored
  };
  const Case cases[] = {
      {kRegSz, Sz("/dev/ttyACM0"), "/dev/ttyACM0"},
      {kRegExpandSz, Sz("$HOME/%PORT%"), "$HOME/%PORT%"},
      {kRegSz, Sz(""), ""},
      {kRegSz, {'a', 0, 'b', 0}, "a"},
      {kRegSz, Sz(longest), longest},       // 4096 bytes with the NUL
      {kRegSz, Sz(longest + "q"), "kept"},  // 4097
      {kRegBinary, Sz("/dev/ttyACM0"), "kept"},
      {kRegDword, {1, 0, 0, 0}, "kept"},
      {kRegSz, {'C', 'O', 'M'}, "kept"},
      {kRegSz, {}, "kept"},  // no terminator at all
  };
  for (const Case& c : cases) {
    MemoryUserStore store;
    store.Put(kKey, "Port", c.type, c.bytes);
    store.Put(kKey, "WavOver", kRegSz, Sz("over2.wav"));
    Settings settings = Custom();
    settings.Port = "kept";
    EXPECT_EQ(settings.Load(store), StoreResult::Ok);
    EXPECT_EQ(settings.Port, c.port) << "type " << c.type << ", " << c.bytes.size() << " bytes";
    EXPECT_EQ(settings.WavOver, "over2.wav");
    EXPECT_EQ(settings.WavZero, "zero.wav");
  }
}

}  // namespace
}  // namespace drunvale
