// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "app/data_age.h"
#include "journal/fuel_factor.h"
#include "link/kwp_link.h"
#include "platform/data_folder.h"
#include "platform/regional_numbers.h"
#include "platform/session_autostart.h"
#include "platform/sleep_clock.h"
#include "platform/wall_clock.h"
#include "settings/settings.h"
#include "sound/sound_engine.h"
#include "trip/trip_computer.h"

namespace drunvale {

// What the real program runs on; tests swap in doubles.
struct AppPlatform {
  TickClock* tickClock = &SystemTickClock();
  HighResClock* highResClock = &SystemHighResClock();
  AudioBackend* audio = &SystemAudioBackend();
  SerialPortOpener opener = OpenSystemSerialPort;
  // Where the trip journal goes; none: no journal is kept (tests, unless they give one).
  DataFolder* dataFolder = nullptr;
  WallClock* wallClock = &SystemWallClock();
  SleepClock* sleepClock = &SystemSleepClock();
  SessionAutostart* autostart = &SystemSessionAutostart();
  // How the user's region writes numbers: the form a new journal file takes.
  RegionalNumbers regionalNumbers = UserRegionalNumbers();
  // False for --demo: a simulated drive leaves no trace in the journal, the tank counter or
  // the fuel factor.
  bool keepsRecords = true;
};

// The four process-wide objects, built in this order and destroyed in reverse: the link goes
// first, so no sample reaches a trip computer or sound engine that is already gone. The fuel
// factor comes before them all: the link's worker applies it to every sample.
class AppCore {
 public:
  explicit AppCore(AppPlatform platform = {});
  AppCore(const AppCore&) = delete;
  AppCore& operator=(const AppCore&) = delete;

  // --port or --demo: the port for this run; the stored settings keep theirs unless the
  // user saves the settings dialog.
  void UsePortForThisRun(const std::string& port);
  // --adapter: the adapter kind for this run, kept alike.
  void UseAdapterForThisRun(AdapterKind kind);
  // The last report on the trouble codes, from the link's worker; taken by the view's timer.
  std::optional<CodesReport> TakeCodesReport();

  // One live-data sample from the link's worker, on its way to the trip computer.
  void OnSample(float speed, float air, float fuel, bool running);

  TickClock& tickClock;
  WallClock& wallClock;
  DataFolder* const dataFolder;
  const RegionalNumbers regionalNumbers;
  const bool keepsRecords;
  SessionAutostart& autostart;
  FuelCalibration calibration;
  // When the last valid sample came; set by the link's worker.
  DataAge dataAge;
  SharedSettings settings;
  SoundEngine sound;
  TripComputer trip;
  KwpLink link;

 private:
  std::mutex codesMutex_;
  std::optional<CodesReport> codesReport_;
};

}  // namespace drunvale
