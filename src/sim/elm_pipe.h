// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "sim/ecu_sim_config.h"
#include "sim/elm_config.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// An ELM327 adapter with the simulated engine control unit behind it, inside this process: Open
// gives the program a serial port whose far end is the chip. Like EcuPipe there is no thread;
// the chip's time is played forward whenever the port is used. Time comes from the tick clock:
// with the system's a read sleeps until the next byte is due; with a manual one time moves only
// while a read waits (or the program sleeps on that clock), so a test measures the program's
// pace in virtual time. All public members are thread-safe.
class ElmPipe {
 public:
  explicit ElmPipe(ElmSimConfig elm = {}, EcuSimConfig ecu = {},
                   TickClock& clock = SystemTickClock());  // the drive starts now
  ~ElmPipe();  // unplugs: a port still open fails from then on
  ElmPipe(const ElmPipe&) = delete;
  ElmPipe& operator=(const ElmPipe&) = delete;

  // One port at a time; nullptr while one is open (Busy) or while unplugged (NoDevice). The
  // receive queue starts empty. Failures report system error 0.
  OpenedPort Open();

  // The adapter is pulled out: every call on the open port fails, and so does Open.
  void Unplug();
  // Plugged in again: a chip starting afresh on the same car; Open works again.
  void Replug();
  // No answers from the control unit, for the duration or until SetIgnitionOn.
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration = std::nullopt);
  void SetIgnitionOn();

  // What the control unit received and served up to now.
  std::vector<RequestRecord> Requests() const;
  std::vector<ServedSample> ServedSamples() const;
  // What the standard OBD-II car of ElmSimConfig::obdCar answered; empty without one.
  std::vector<ObdServedSample> ObdSamples() const;

 private:
  struct Shared;
  class Port;
  std::shared_ptr<Shared> shared_;
};

}  // namespace drunvale::sim
