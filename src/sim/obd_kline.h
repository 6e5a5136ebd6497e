// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "sim/obd_car.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// The car's engine unit on the K-line, beside the manufacturer's unit: ISO 14230-4 frames to the
// functional address 33 (after a fast init, or a 5-baud init when configured) or ISO 9141-2
// messages 68 6A F1 (after a 5-baud init), each answer after the unit's P2, message after
// message, at 10400 bit/s. No I/O, no thread; the chip's owner locks it.
class ObdKLineCar {
 public:
  ObdKLineCar(ObdCar& car, SimClock::duration byteTime) : car_(car), byteTime_(byteTime) {}

  // A whole frame from the chip, its last byte heard at now.
  void Hear(const std::vector<uint8_t>& frame, SimTime now, bool ignitionOn);
  // The key bytes the unit answers a 5-baud init to address 33 with; none: it stays asleep.
  std::optional<std::array<uint8_t, 2>> FiveBaudInit(bool ignitionOn) const;
  std::optional<SimTime> NextDeadline() const;
  void TakeDue(SimTime now, std::vector<uint8_t>& out);

 private:
  struct Message {
    std::vector<uint8_t> bytes;
    SimTime start;
    size_t sent = 0;
  };
  void Queue(std::vector<uint8_t> bytes, SimTime now);

  ObdCar& car_;
  SimClock::duration byteTime_;
  std::deque<Message> outgoing_;
};

}  // namespace drunvale::sim
