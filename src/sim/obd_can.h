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

inline constexpr uint16_t kObdFunctionalId = 0x7DF;
inline constexpr uint16_t kObdEngineAnswerId = 0x7E8;

// One CAN frame from the car, with its ISO-TP byte(s) and padding as sent.
struct CanFrame {
  uint16_t id = 0;
  std::array<uint8_t, 8> data{};
  SimTime at{};              // its last bit is on the bus
  bool endsMessage = false;  // the single frame, or the last consecutive frame
};

// The chip's end of an ISO 15765-4 bus at 500 kbit/s with the car's engine unit on it. A request
// goes to the functional address in a single frame; the unit answers after its P2, a long answer
// as a first frame, and the consecutive frames once the chip's flow control is out. No I/O, no
// thread; the chip's owner locks it.
class ObdCanBus {
 public:
  explicit ObdCanBus(ObdCar& car) : car_(car) {}

  // The request's single frame starts at `at`; returns when it is out. A car with its ignition
  // off does not answer.
  SimTime Send(const std::vector<uint8_t>& data, SimTime at, bool ignitionOn);
  std::optional<SimTime> NextDeadline() const;
  // Appends the frames due by now.
  void TakeDue(SimTime now, std::vector<CanFrame>& out);
  // Frames still on their way are not wanted any more (the chip stopped).
  void Clear() { pending_.clear(); }

 private:
  void Queue(const std::vector<uint8_t>& message, SimTime at);

  ObdCar& car_;
  std::deque<CanFrame> pending_;
};

}  // namespace drunvale::sim
