// SPDX-License-Identifier: GPL-3.0-or-later
// termios2 lives in <asm/termbits.h>, which clashes with <termios.h>: keep this file apart.
#include "sim/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace drunvale::sim {

std::optional<uint32_t> ReadLineRate(int fd) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return std::nullopt;
  return static_cast<uint32_t>(tio.c_ospeed);
}

bool SetRawLineRate(int fd, uint32_t rate) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_iflag = 0;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
  for (auto& c : tio.c_cc)
    c = 0;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &tio) == 0;
}

}  // namespace drunvale::sim
