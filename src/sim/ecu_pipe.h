// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "sim/ecu_sim_config.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// A K-line adapter with a simulated engine control unit behind it, inside this process: Open
// gives the tester a serial port whose far end is the control unit, with the echo and answer
// timing of the simulator on a pseudo-terminal (the echo at once, each answer after the response
// delay, byte by byte at the control unit's line rate). There is no thread: whenever the port is
// used, the control unit's time is played forward to the present event by event, and a read
// sleeps until the next byte is due or its timeout ends. For --demo where there are no
// pseudo-terminals, and for tests. All public members are thread-safe.
class EcuPipe {
 public:
  explicit EcuPipe(EcuSimConfig config = {});  // the drive starts now
  ~EcuPipe();                                  // unplugs: a port still open fails from then on
  EcuPipe(const EcuPipe&) = delete;
  EcuPipe& operator=(const EcuPipe&) = delete;

  // One port at a time, as an exclusively opened device; nullptr while one is open (Busy) or
  // after Unplug (NoDevice). The receive queue starts empty. The pipe has no system error
  // codes: its failures report 0.
  OpenedPort Open();

  // Fault switches, as the simulator on a pseudo-terminal has them.
  // The adapter is pulled out: every call on the open port fails, and so does Open.
  void Unplug();
  // No answers (the adapter still echoes), for the duration or until SetIgnitionOn.
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration = std::nullopt);
  void SetIgnitionOn();

  // What happened up to now.
  std::vector<RequestRecord> Requests() const;
  std::vector<ServedSample> ServedSamples() const;

 private:
  struct Shared;
  class Port;
  std::shared_ptr<Shared> shared_;
};

}  // namespace drunvale::sim
