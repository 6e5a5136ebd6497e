// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace drunvale::sim {

using SimClock = std::chrono::steady_clock;
using SimTime = SimClock::time_point;

// What the control unit did with one frame it received.
enum class RequestOutcome {
  Positive,       // answered with the positive response
  Negative,       // answered 7F sid code (busy, unknown service, bad parameter)
  IgnitionOff,    // heard nothing: the adapter echoed, the control unit was off
  WrongLineRate,  // the tester's line ran at another rate, so the control unit saw noise
  Malformed,      // bad checksum, another address, cut short: ignored
};

// One frame from the tester, as the control unit received it.
struct RequestRecord {
  SimTime at{};                // arrival of its last byte
  std::vector<uint8_t> frame;  // every byte of the frame as received
  std::vector<uint8_t> data;   // service identifier and parameters; empty when malformed
  uint32_t testerRate = 0;     // the slave side's rate at that moment; 0 when unreadable
  uint32_t ecuRate = 0;        // the rate the control unit was listening at
  RequestOutcome outcome = RequestOutcome::Malformed;
  uint8_t negativeCode = 0;  // the response code of a Negative outcome
};

// One live-data block handed out, with its fields as the tester decodes them.
struct ServedSample {
  SimTime requestAt{};  // the request that asked for it arrived; the block was taken then
  SimTime sentAt{};     // the block's last byte went out (set once the answer is complete)
  bool sent = false;    // false while the answer is still on its way or was cut off
  bool intact = true;   // false when a corrupt checksum or garbage went with it
  double profileSeconds = 0;
  uint8_t status = 0;
  uint8_t speedByte = 0;
  uint16_t airRaw = 0;
  uint16_t fuelRaw = 0;
  float speed = 0;  // km/h
  float air = 0;    // kg/h, raw × 0.1 in single precision
  float fuel = 0;   // l/h, raw × 0.02 in single precision
  bool running = false;

  // Counted by a tester: delivered whole and with a good checksum.
  bool Accepted() const { return sent && intact; }
};

// One mode 01 answer of the standard OBD-II car, with the truth behind it.
struct ObdServedSample {
  SimTime at{};  // the request arrived; the values are of that moment
  double profileSeconds = 0;
  double speedKmh = 0;
  double fuelLh = 0;  // what the injectors deliver; zero on the overrun cut
  double airKgh = 0;  // what the engine breathes
  uint8_t fuelStatus = 0;
};

}  // namespace drunvale::sim
