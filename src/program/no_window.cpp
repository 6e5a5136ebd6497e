// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "platform/exit_codes.h"
#include "program/window_entry.h"

namespace drunvale {

int RunMainWindow(int, char**, const CommandLine&) {
  std::fputs("drunvale: this build has no windows; run it with --console\n", stderr);
  return kExitNoDisplay;
}

}  // namespace drunvale
