// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "app/command_line.h"
#include "platform/serial_port.h"

namespace drunvale {

// The name --demo's port goes by in the status and summary lines.
inline constexpr const char* kDemoPortName = "demo";

// What the command line makes of this run's port: the name used in place of the stored one
// (empty: the stored one) and how ports are opened. --demo puts the simulated engine control
// unit behind every name, inside this process, so the demo runs alike on every platform; the
// opener keeps that control unit alive for as long as any worker holds a copy of it.
struct RunPort {
  std::string name;
  SerialPortOpener opener = OpenSystemSerialPort;
};

RunPort PortForThisRun(const CommandLine& options);

}  // namespace drunvale
