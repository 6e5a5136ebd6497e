// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/obd_car_config.h"

namespace drunvale::sim {

// Ways a clone differs from a genuine ELM327 v1.5, each switched on alone. All off: genuine.
struct ElmQuirks {
  // Commands the clone lacks: each answers "?".
  bool noFi = false;  // FI
  bool noKw = false;  // KW, KW0, KW1
  bool noAl = false;  // AL, NL
  bool noSw = false;  // SW
  bool noWm = false;  // WM
  bool noSt = false;  // ST
  bool noAt = false;  // AT0, AT1, AT2
  // Reads only two letters of a command's name and ignores the rest: DPN is DP, KW0 is KW.
  bool twoLetterCommands = false;
  // NUL bytes and line noise before the banner after a reset.
  bool garbageBeforeBanner = false;
  // The end of the last line and the prompt come in a separate, later write.
  bool splitPrompt = false;
  // Drops bytes that come while it works on a request instead of stopping.
  bool ignoresEarlyBytes = false;
  // The request that opens the bus always begins its answer with "BUS INIT: ...OK", whatever
  // the protocol setting (as clones without FI do).
  bool busInitLine = false;
  // Every n-th frame from the control unit arrives with a wrong checksum; 0: none.
  int dataErrorEvery = 0;
  // Hangs for good on an answer with more than 7 data bytes unless AL is on.
  bool freezeOnLongAnswer = false;
  // The connection (a TCP peer) drops after every n requests; 0: never.
  int dropAfterRequests = 0;
};

struct ElmSimConfig {
  ElmQuirks quirks;
  std::string version = "ELM327 v1.5";  // the banner and AT I
  std::string voltage = "12.6V";        // AT RV
  // The serial rate the chip listens and answers at; a host at another rate reads garbage and
  // is not understood.
  uint32_t serialRate = 38400;
  // A slower serial side behind the chip (a radio bridge): the bytes' pace; 0: the serial rate.
  uint32_t throughputRate = 0;
  // Off: the serial bytes take no time at all.
  bool serialPacing = true;
  // A standard OBD-II car behind the chip besides the manufacturer's unit; none: only that unit,
  // on ISO 14230-4 fast init to its own address.
  std::optional<ObdCarConfig> obdCar{};
};

}  // namespace drunvale::sim
