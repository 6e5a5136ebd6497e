// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>

#include "sim/drive_profile.h"
#include "sim/ecu_sim_config.h"

namespace drunvale::testing {

// A drive that starts on the highway, so every second adds distance.
inline sim::EcuSimConfig FastDrive() {
  sim::EcuSimConfig config;
  sim::DriveProfile profile;
  for (const auto& key : profile.Keyframes()) {
    if (key.speedKmh >= 90) {
      config.profileStartSeconds = key.seconds;
      break;
    }
  }
  return config;
}

// The "везде" value of the last row the console printed whose caption contains the given
// words; -1 when there is none.
inline double LastEverywhereValue(const std::string& output, const std::string& caption) {
  std::istringstream in(output);
  std::string line, found;
  while (std::getline(in, line))
    if (line.find(caption) != std::string::npos) found = line;
  auto bar = found.find('|');
  if (bar == std::string::npos) return -1;
  return std::atof(found.c_str() + bar + 1);
}

}  // namespace drunvale::testing
