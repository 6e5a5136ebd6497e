// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_arguments.h"

namespace drunvale {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace drunvale
