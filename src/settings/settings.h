// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace drunvale {

class StoreKey;
class UserStore;

// How a load or save of the settings ended: Failed when the store could not be read whole, or
// would not take the values.
enum class [[nodiscard]] StoreResult{Ok, Failed};

// Where the settings live in the per-user store.
inline constexpr const char* kSettingsKeyPath = "Software\\Tembrook\\Drunvale\\1.0";

// The settings key opened for writing, or created level by level below "Software" when it is
// missing; nullptr when neither can be done. Values of the program's own beside the record are
// written through it too.
std::unique_ptr<StoreKey> OpenSettingsKeyForWriting(UserStore& store);

// One signal level's sound. Stored as 16 bytes inside Parameters.
struct LevelSettings {
  uint16_t IntervalMs = 0;  // 0 = continuous
  uint16_t ToneHz = 0;
  bool UseTone = true;      // else the level's WAV file
  uint32_t SampleRate = 0;  // playback rate of the WAV file
  bool AutoRepeat = false;

  bool operator==(const LevelSettings&) const = default;
};

// The persisted record. Held in memory as plain fields; its 76-byte little-endian form is
// produced and read field by field (see parameters_codec.h), never by copying the struct.
struct Parameters {
  uint16_t BaudRate = 0;
  bool RtsPulse = false;
  bool DtrOn = false;
  float FuelPrice = 0;
  uint8_t JamMinutes = 0;
  uint8_t JamSpeed = 0;
  uint8_t OverLimit = 0;
  LevelSettings LevelZero;
  LevelSettings LevelMin;
  LevelSettings LevelMax;
  LevelSettings LevelOver;

  bool operator==(const Parameters&) const = default;
};

enum class ConsumptionLevel : int32_t { Zero = 0, Min = 1, Max = 2, Over = 3 };

void ResetParameters(Parameters& p);

// Which adapter sits on the port: found out at the opening (an ELM327 answers a probe, an
// echoing K-line adapter does not), or named. Stored as "AdapterKind", a REG_DWORD beside the
// record; absent or unknown is automatic.
enum class AdapterKind : uint32_t { Automatic = 0, KLine = 1, Elm = 2 };
inline constexpr const char* kAdapterKindName = "AdapterKind";

// Where the samples come from: the manufacturer's live-data block (through either adapter) or
// the standard OBD-II data any car since about 2001 gives (through an ELM327 only); automatic
// tries the block first. Stored as "DataSource", a REG_DWORD beside the record; absent or
// unknown is automatic.
enum class DataSourceKind : uint32_t { Automatic = 0, ManufacturerBlock = 1, StandardObd = 2 };
inline constexpr const char* kDataSourceName = "DataSource";

// What the fuel estimate from the standard data needs, stored beside the record as REG_DWORDs:
// "Displacement" in cm³ (0: not given; needed only by a car without an air-flow sensor),
// "StoichiometricAfr" in hundredths and "FuelDensity" in g/l, petrol's by default. A value out
// of its range keeps the default.
struct ObdFuel {
  static constexpr uint32_t kMaxDisplacementCc = 10000;
  static constexpr uint32_t kMinAfrHundredths = 500, kMaxAfrHundredths = 2500;
  static constexpr uint32_t kMinDensityGL = 500, kMaxDensityGL = 1000;
  uint32_t displacementCc = 0;
  uint32_t afrHundredths = 1470;
  uint32_t densityGL = 745;

  bool operator==(const ObdFuel&) const = default;
};

// The whole settings object: the record, the four strings and, beside them, the adapter kind,
// the data source and what the standard data's estimate needs.
struct Settings {
  Settings();

  // Reads whatever the store holds; a value that is missing, of the wrong type, too large or
  // unterminated leaves its member as it is. Failed, all unchanged, when the key cannot be
  // opened or a value in it cannot be read.
  StoreResult Load(UserStore& store);
  // Writes the four strings, then the record. Failed when the key can be neither opened
  // nor created (nothing written) or when the writes could not be committed.
  StoreResult Save(UserStore& store) const;

  Parameters Params;
  std::string Port;
  std::string WavZero;
  std::string WavMin;
  std::string WavOver;
  AdapterKind Adapter = AdapterKind::Automatic;
  DataSourceKind Source = DataSourceKind::Automatic;
  ObdFuel Fuel;

  bool operator==(const Settings&) const = default;
};

// The process-wide settings as other threads see them: the UI thread replaces them whole on
// Save while the connection worker and the sound engine read. Readers take a copy under the
// lock, so they never see a torn string or a half-written record.
class SharedSettings {
 public:
  SharedSettings() : core_(std::make_shared<Core>()) {}
  explicit SharedSettings(const Settings& initial) : core_(std::make_shared<Core>(initial)) {}
  SharedSettings(const SharedSettings&) = delete;
  SharedSettings& operator=(const SharedSettings&) = delete;

  Settings Get() const;
  // The record alone: no allocation, cheap enough for every sample.
  Parameters GetParameters() const;
  void Set(const Settings& settings);

  // Another handle on the same settings that stays readable after this one is gone: a
  // connection worker that had to be left running keeps reading through it safely.
  SharedSettings Share() const { return SharedSettings(core_); }

 private:
  struct Core {
    Core() = default;
    explicit Core(const Settings& initial) : settings(initial) {}
    std::mutex mutex;
    Settings settings;
  };
  explicit SharedSettings(std::shared_ptr<Core> core) : core_(std::move(core)) {}

  std::shared_ptr<Core> core_;
};

}  // namespace drunvale
