// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale {

class SessionAutostart;

// What --autostart did: the line to print (on standard output when it worked, else on standard
// error) and the exit code.
struct AutostartOutcome {
  int exitCode;
  std::string text;
};

// Writes or removes the entry that opens the window when the user logs in.
AutostartOutcome SwitchAutostart(SessionAutostart& autostart, bool on);

}  // namespace drunvale
