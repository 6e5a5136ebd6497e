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
  bool help = false;
  bool version = false;
};

// False with a message for the user when an argument is unknown or its value is not usable.
bool ParseEcuSimOptions(int argc, const char* const* argv, EcuSimOptions* options,
                        std::string* error);
std::string EcuSimUsage();

}  // namespace drunvale::sim
