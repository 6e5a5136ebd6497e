#pragma once

#include <string>

#include "app/data_age.h"
#include "link/kwp_link.h"
#include "platform/session_autostart.h"
#include "platform/sleep_clock.h"
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
  SleepClock* sleepClock = &SystemSleepClock();
  SessionAutostart* autostart = &SystemSessionAutostart();
};

// The four process-wide objects, built in this order and destroyed in reverse: the link goes
// first, so no sample reaches a trip computer or sound engine that is already gone.
class AppCore {
 public:
  explicit AppCore(AppPlatform platform = {});
  AppCore(const AppCore&) = delete;
  AppCore& operator=(const AppCore&) = delete;

  // --port or --demo: the port for this run; the stored settings keep theirs unless the
  // user saves the settings dialog.
  void UsePortForThisRun(const std::string& port);

  TickClock& tickClock;
  SessionAutostart& autostart;
  // When the last valid sample came; set by the link's worker.
  DataAge dataAge;
  SharedSettings settings;
  SoundEngine sound;
  TripComputer trip;
  KwpLink link;
};

}  // namespace drunvale
