// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_pair.h"

#include <fcntl.h>
#include <pty.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace drunvale::sim {
namespace {

std::string ErrnoText(const char* what) {
  return std::string(what) + ": " + strerror(errno);
}

bool MakeRaw(int fd) {
  struct termios tio {};
  if (tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool AddFlags(int fd, int fdFlags, int statusFlags) {
  int fdf = fcntl(fd, F_GETFD);
  int sf = fcntl(fd, F_GETFL);
  return fdf >= 0 && sf >= 0 && fcntl(fd, F_SETFD, fdf | fdFlags) == 0 &&
         fcntl(fd, F_SETFL, sf | statusFlags) == 0;
}

}  // namespace

bool OpenRawPty(PtyPair* pty, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = ErrnoText(what);
    ClosePty(pty);
    return false;
  };
  if (openpty(&pty->master, &pty->slave, nullptr, nullptr, nullptr) != 0) return fail("openpty");
  char name[128];
  if (ptsname_r(pty->master, name, sizeof name) != 0) return fail("ptsname_r");
  pty->slavePath = name;
  // The master's settings are the slave's on Linux; set both anyway, nothing may cook the bytes.
  if (!MakeRaw(pty->slave) || !MakeRaw(pty->master)) return fail("tcsetattr");
  if (!AddFlags(pty->master, FD_CLOEXEC, O_NONBLOCK) || !AddFlags(pty->slave, FD_CLOEXEC, 0)) {
    return fail("fcntl");
  }
  return true;
}

void ClosePty(PtyPair* pty) {
  // The slave first, so the master's close is the last one and the tester sees the hang-up.
  if (pty->slave >= 0) close(pty->slave);
  if (pty->master >= 0) close(pty->master);
  pty->slave = -1;
  pty->master = -1;
}

}  // namespace drunvale::sim
