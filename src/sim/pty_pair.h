// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale::sim {

// A pseudo-terminal in raw mode. The simulator keeps the slave open as well, so that a tester
// closing and reopening the path (as it does after a lost connection) never hangs the master up.
struct PtyPair {
  int master = -1;  // non-blocking, close-on-exec
  int slave = -1;   // close-on-exec
  std::string slavePath;
};

bool OpenRawPty(PtyPair* pty, std::string* error);
void ClosePty(PtyPair* pty);

}  // namespace drunvale::sim
