// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/ecu_sim_config.h"
#include "sim/elm_config.h"

namespace drunvale::sim {

// The command line of drunvale-ecusim.
struct EcuSimOptions {
  EcuSimConfig config;
  std::optional<double> ignitionOffAfterS;  // seconds after the start
  std::optional<double> ignitionOffForS;    // none: off until the tool ends
  std::string link;                         // a symbolic link kept pointing at the terminal
  std::optional<double> unplugAfterS;       // the adapter is pulled out this long after the start
  std::optional<double> unpluggedForS;      // and a new one plugged in after this long
  bool elm = false;                         // an ELM327 in front of the unit, not a K-line adapter
  ElmSimConfig elmConfig;                   // which chip or clone
  std::optional<uint16_t> tcpPort;          // with --elm: served on TCP, not a terminal
  bool help = false;
  bool version = false;
};

// The clone switches of --clone, comma-separated, onto config; false with a message when one is
// unknown or its value is not usable.
bool ParseCloneList(const std::string& list, ElmSimConfig* config, std::string* error);
// "P0130,P0171:pending", as --dtc takes it; false for anything else.
bool ParseTroubleCodes(const std::string& list, std::vector<SimTroubleCode>* codes);

// False with a message for the user when an argument is unknown or its value is not usable.
bool ParseEcuSimOptions(int argc, const char* const* argv, EcuSimOptions* options,
                        std::string* error);
std::string EcuSimUsage();

}  // namespace drunvale::sim
