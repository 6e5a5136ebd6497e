// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <memory>
#include <vector>

#include "platform/user_store.h"
#include "settings/parameters_codec.h"
#include "settings/settings.h"

namespace drunvale {
namespace {

// A string value, NUL included, must fit this.
constexpr size_t kStringLimit = 4096;

// Opens "Software" and creates the levels below it one at a time, closing each parent once the
// path is built or a step fails. Levels created before a failure stay.
std::unique_ptr<StoreKey> CreateSettingsKey(UserStore& store) {
  std::vector<std::unique_ptr<StoreKey>> chain;
  chain.push_back(store.Open("Software", StoreAccess::Write));
  if (!chain.back()) return nullptr;
  std::unique_ptr<StoreKey> leaf;
  for (const char* level : {"Tembrook", "Drunvale", "1.0"}) {
    auto next = chain.back()->CreateSubKey(level);
    if (!next) break;
    chain.push_back(std::move(next));
  }
  if (chain.size() == 4) {
    leaf = std::move(chain.back());
    chain.pop_back();
  }
  for (auto& key : chain)
    key->Close();
  return leaf;
}

// Takes the value only when it is a string type and ends in its NUL. A zero-byte value has no
// terminator, so it is ignored like any other unterminated one. False when the read failed.
bool LoadString(StoreKey& key, const char* name, std::vector<uint8_t>& buffer,
                std::string& member) {
  ValueInfo info;
  const QueryStatus status = key.Query(name, buffer, info);
  if (status != QueryStatus::Ok) return status != QueryStatus::Failed;
  if (info.Type != kRegSz && info.Type != kRegExpandSz) return true;
  if (info.Size == 0 || buffer[info.Size - 1] != 0) return true;
  // REG_EXPAND_SZ is taken literally; references to the environment are not expanded.
  member.assign(reinterpret_cast<const char*>(buffer.data()));
  return true;
}

}  // namespace

std::unique_ptr<StoreKey> OpenSettingsKeyForWriting(UserStore& store) {
  auto key = store.Open(kSettingsKeyPath, StoreAccess::Write);
  return key ? std::move(key) : CreateSettingsKey(store);
}

StoreResult Settings::Load(UserStore& store) {
  auto key = store.Open(kSettingsKeyPath, StoreAccess::Read);
  if (!key) return StoreResult::Failed;

  // Into a copy: a key that fails half way leaves this object as it was.
  Settings loaded = *this;
  std::vector<uint8_t> buffer(kStringLimit);
  const std::pair<const char*, std::string*> strings[] = {{"Port", &loaded.Port},
                                                          {"WavZero", &loaded.WavZero},
                                                          {"WavMin", &loaded.WavMin},
                                                          {"WavOver", &loaded.WavOver}};
  bool whole = true;
  for (const auto& [name, member] : strings)
    whole = LoadString(*key, name, buffer, *member) && whole;

  // A shorter stored record replaces only its leading bytes; the rest keeps the defaults.
  Parameters defaults;
  ResetParameters(defaults);
  ParametersImage image = EncodeParameters(defaults);
  ValueInfo info;
  const QueryStatus params = key->Query("Parameters", image, info);
  if (params == QueryStatus::Ok && info.Type == kRegBinary) loaded.Params = DecodeParameters(image);
  // The numbers beside the record: a value of another type or out of its range is left out.
  bool numbersRead = true;
  const auto number = [&](const char* name, uint32_t low, uint32_t high, auto apply) {
    std::array<uint8_t, 4> bytes{};
    const QueryStatus status = key->Query(name, bytes, info);
    if (status == QueryStatus::Failed) numbersRead = false;
    if (status != QueryStatus::Ok || info.Type != kRegDword || info.Size != bytes.size()) return;
    const uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
    if (value >= low && value <= high) apply(value);
  };
  number(kAdapterKindName, 0, static_cast<uint32_t>(AdapterKind::Elm),
         [&](uint32_t v) { loaded.Adapter = static_cast<AdapterKind>(v); });
  number(kDataSourceName, 0, static_cast<uint32_t>(DataSourceKind::StandardObd),
         [&](uint32_t v) { loaded.Source = static_cast<DataSourceKind>(v); });
  number("Displacement", 0, ObdFuel::kMaxDisplacementCc,
         [&](uint32_t v) { loaded.Fuel.displacementCc = v; });
  number("StoichiometricAfr", ObdFuel::kMinAfrHundredths, ObdFuel::kMaxAfrHundredths,
         [&](uint32_t v) { loaded.Fuel.afrHundredths = v; });
  number("FuelDensity", ObdFuel::kMinDensityGL, ObdFuel::kMaxDensityGL,
         [&](uint32_t v) { loaded.Fuel.densityGL = v; });
  key->Close();
  if (!whole || params == QueryStatus::Failed || !numbersRead) {
    return StoreResult::Failed;
  }
  *this = std::move(loaded);
  return StoreResult::Ok;
}

StoreResult Settings::Save(UserStore& store) const {
  auto key = OpenSettingsKeyForWriting(store);
  if (!key) return StoreResult::Failed;

  const std::pair<const char*, const std::string*> strings[] = {
      {"Port", &Port}, {"WavZero", &WavZero}, {"WavMin", &WavMin}, {"WavOver", &WavOver}};
  for (const auto& [name, member] : strings) {
    const auto* text = reinterpret_cast<const uint8_t*>(member->c_str());
    key->Set(name, kRegSz, {text, member->size() + 1});  // with its NUL
  }
  const ParametersImage image = EncodeParameters(Params);
  key->Set("Parameters", kRegBinary, image);
  const auto dword = [&](const char* name, uint32_t value) {
    const std::array<uint8_t, 4> bytes{
        static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    key->Set(name, kRegDword, bytes);
  };
  dword(kAdapterKindName, static_cast<uint32_t>(Adapter));
  dword(kDataSourceName, static_cast<uint32_t>(Source));
  dword("Displacement", Fuel.displacementCc);
  dword("StoichiometricAfr", Fuel.afrHundredths);
  dword("FuelDensity", Fuel.densityGL);
  // Single writes may fail unnoticed, but a commit that stored nothing is a failed save.
  return key->Close() ? StoreResult::Ok : StoreResult::Failed;
}

}  // namespace drunvale
