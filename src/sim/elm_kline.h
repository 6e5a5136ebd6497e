// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/ecu_line.h"
#include "sim/ecu_sim_config.h"
#include "sim/obd_kline.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// The chip's end of the K-line at 10400 bit/s, with the simulated control unit on the other end.
// A frame the chip sends reaches the unit once its last byte is out; the unit's bytes come back
// one at a time at the moments they are due. No I/O, no thread; the chip's owner locks it.
class ElmKLine {
 public:
  ElmKLine(const EcuSimConfig& ecu, SimTime start);

  // Starts a frame at `at` (or once the frame before it is out); returns when it is out whole.
  SimTime Send(const std::vector<uint8_t>& frame, SimTime at);
  // Moves the line to now, which must not pass NextDeadline; appends the unit's bytes due by then.
  void Advance(SimTime now, std::vector<uint8_t>& fromUnit);
  std::optional<SimTime> NextDeadline() const;
  // The end of the last byte either side put on the line, a frame still being sent included.
  SimTime LastActivity() const { return lastActivity_; }
  SimClock::duration ByteTime() const { return byteTime_; }

  // A standard OBD-II car's engine unit on the same line, hearing every frame.
  // Without the manufacturer's unit only the car answers; the unit's model still drives it.
  void AttachObd(ObdCar& car, bool manufacturerUnit) {
    obd_.emplace(car, byteTime_);
    unitListens_ = manufacturerUnit;
  }
  void DetachManufacturerUnit() { unitListens_ = false; }
  // A 5-baud init to address 33 ending at `at`: the key bytes of the unit that woke up, if any.
  std::optional<std::array<uint8_t, 2>> FiveBaudInit(SimTime at);

  EcuLine& Unit() { return unit_; }
  const EcuLine& Unit() const { return unit_; }

 private:
  struct Outgoing {
    std::vector<uint8_t> frame;
    SimTime end;
  };

  SimClock::duration byteTime_;
  EcuLine unit_;
  std::optional<ObdKLineCar> obd_;
  bool unitListens_ = true;
  std::vector<Outgoing> outgoing_;  // in the order sent
  SimTime lastActivity_;
};

}  // namespace drunvale::sim
