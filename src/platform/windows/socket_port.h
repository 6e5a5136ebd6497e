// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <winsock2.h>

#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace drunvale {

// Starts Winsock 2 once for the whole program (later calls only answer); 0 when it runs, else
// its error. It is never cleaned up: the system does that at exit, and a lookup left running
// (ResultWithin) may still be using it.
int StartWinsock();

// A connected, non-blocking TCP socket as a serial port; the port owns it and closes it.
std::unique_ptr<SerialPort> MakeSocketPort(SOCKET socket);

// Opens a socket://HOST:PORT name; OpenSystemSerialPort hands such names here.
OpenedPort OpenSocketPort(const std::string& name);

}  // namespace drunvale
