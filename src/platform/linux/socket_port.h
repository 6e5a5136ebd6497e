// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace drunvale {

// A connected, non-blocking TCP socket as a serial port; the port owns it and closes it.
std::unique_ptr<SerialPort> MakeSocketPort(int fd);

// Opens a socket://HOST:PORT name; OpenSystemSerialPort hands such names here.
OpenedPort OpenSocketPort(const std::string& name);

}  // namespace drunvale
