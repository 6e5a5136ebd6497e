// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "sim/ecu_sim_config.h"

namespace drunvale::sim {

// The command line of drunvale-ecusim.
struct EcuSimOptions {
  EcuSimConfig config;
  std::optional<double> ignitionOffAfterS;  // seconds after the start
  std::optional<double> ignitionOffForS;    // none: off until the tool ends
  std::string link;                         // a symbolic link kept pointing at the terminal
  std::optional<double> unplugAfterS;       // the adapter is pulled out this long after the start
  std::optional<double> unpluggedForS;      // and a new one plugged in after this long
  bool help = false;
  bool version = false;
};

// False with a message for the user when an argument is unknown or its value is not usable.
bool ParseEcuSimOptions(int argc, const char* const* argv, EcuSimOptions* options,
                        std::string* error);
std::string EcuSimUsage();

}  // namespace drunvale::sim
