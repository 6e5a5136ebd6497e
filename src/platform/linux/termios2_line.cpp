// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/termios2_line.h"

#include <asm/termbits.h>
#include <errno.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cstring>

namespace drunvale {

int WriteRawLineState(int fd, uint32_t baud) {
  // Rate 0 would mean "hang up" to the driver, not a line speed.
  if (baud == 0) return EINVAL;
  struct termios2 line;
  std::memset(&line, 0, sizeof line);
  // Nothing is read back and modified: every flag not named here is off, every control
  // character is 0 (VMIN = VTIME = 0, so reads never block inside the driver).
  line.c_cflag = BOTHER | (BOTHER << IBSHIFT) | CS8 | CREAD | CLOCAL;
  line.c_ispeed = baud;
  line.c_ospeed = baud;
  if (ioctl(fd, TCSETS2, &line) != 0) return errno;
  return 0;
}

std::optional<uint32_t> ReadLineBaud(int fd) {
  struct termios2 line;
  if (ioctl(fd, TCGETS2, &line) != 0) return std::nullopt;
  return line.c_ospeed;
}

bool TrySetLowLatency(int fd) {
  struct serial_struct serial;
  std::memset(&serial, 0, sizeof serial);
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
  if (serial.flags & ASYNC_LOW_LATENCY) return true;
  serial.flags |= ASYNC_LOW_LATENCY;
  return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

}  // namespace drunvale
