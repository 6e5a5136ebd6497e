// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the settings file. Whatever the parser takes must come back unchanged
// when written and read again, and whatever Load takes must survive a Save and a Load.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/file_user_store.h"
#include "platform/reg_file.h"
#include "settings/parameters_codec.h"
#include "settings/settings.h"

namespace {

using namespace drunvale;

constexpr std::string_view kHeader = "HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0";

// A config folder on tmpfs when there is one, so that the fsyncs of Save cost little.
const std::string& ConfigDir() {
  static const std::string dir = [] {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/drunvale-fuzz-XXXXXX"
                                                        : "/tmp/drunvale-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) abort();
    static std::string removeAtExit = pattern;
    std::atexit([] { std::filesystem::remove_all(removeAtExit); });
    FileUserStore store(pattern);
    if (Settings().Save(store) != StoreResult::Ok) abort();  // builds the folders
    return pattern;
  }();
  return dir;
}

void CheckParserRoundTrip(std::string_view text) {
  std::vector<StoreValue> values = ParseRegFile(text, kHeader);
  std::erase_if(values, [](const StoreValue& v) { return !IsValidValueName(v.Name); });
  if (ParseRegFile(FormatRegFile(kHeader, values), kHeader) != values) abort();
}

void CheckLoadAndSave(std::string_view text) {
  FileUserStore store(ConfigDir());
  const std::string file = ConfigDir() + "/Tembrook/Drunvale/1.0.reg";
  FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) abort();
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);

  Settings loaded;
  if (loaded.Load(store) != StoreResult::Ok) abort();
  if (loaded.Save(store) != StoreResult::Ok) abort();
  Settings again;
  (void)again.Load(store);
  // Compared as bytes: a NaN fuel price is still the same setting.
  if (EncodeParameters(again.Params) != EncodeParameters(loaded.Params) ||
      again.Port != loaded.Port || again.WavZero != loaded.WavZero ||
      again.WavMin != loaded.WavMin || again.WavOver != loaded.WavOver) {
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckParserRoundTrip(text);
  CheckLoadAndSave(text);
  return 0;
}
