// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace drunvale {

// One serial adapter as the port list offers it.
struct SerialPortName {
  SerialPortName(std::string name, std::string node = {})
      : path(std::move(name)), device(std::move(node)) {}

  // The name to offer and store: the adapter's stable /dev/serial/by-id name when it has one,
  // else its node in /dev.
  std::string path;
  // The node in /dev when path is a stable name for it; empty otherwise.
  std::string device;
};

// Lists the serial ports a user may pick; the settings dialog takes one so tests can feed a
// fixed list.
using SerialPortLister = std::function<std::vector<SerialPortName>()>;

// Where the kernel shows its devices; tests point these at a fake tree.
struct SerialPortRoots {
  std::string sys = "/sys";
  std::string dev = "/dev";
};

// The serial ports present, each adapter once, ordered by kernel name (ttyACM0, ttyS0,
// ttyS2, ttyUSB0, ttyUSB10...): every tty that sysfs ties to a device, apart from UART slots
// with no chip behind them, and every Bluetooth serial link (rfcomm0...), whose node is in /dev.
// Nothing is opened: opening a port moves its modem lines, and some boards take that as a reset.
std::vector<SerialPortName> ListSerialPorts(const SerialPortRoots& roots = {});

// Windows: COM<n> names by number (COM2 before COM10), then any other names in text order; each
// name once, compared without regard to case.
std::vector<std::string> OrderComPorts(std::vector<std::string> names);

}  // namespace drunvale
