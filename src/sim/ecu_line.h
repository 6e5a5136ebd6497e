// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "sim/ecu_frames.h"
#include "sim/ecu_model.h"
#include "sim/ecu_sim_config.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// The control unit's end of the K-line without any I/O or thread: it cuts frames from the
// tester's bytes, queues each answer after the response delay, lets it out byte by byte at the
// control unit's line rate, and records every request and live-data block. The simulator on a
// pseudo-terminal and the in-process pipe both drive it. Not thread-safe; its owner locks it.
class EcuLine {
 public:
  // testerRate tells the rate the tester's line runs at when a frame is complete (0: unknown).
  EcuLine(const EcuSimConfig& config, SimTime start, std::function<uint32_t()> testerRate);

  // The drive and the idle timer count from here.
  void SetStart(SimTime start) { model_.SetStart(start); }

  // Bytes from the tester, all heard at now. The adapter's echo is the owner's to send.
  void Hear(const uint8_t* bytes, size_t n, SimTime now);
  // Gives up a frame that stopped arriving and moves the control unit's timers on.
  void Advance(SimTime now);
  // Appends the answer bytes due by now to out, settling the records before their last byte.
  void TakeDue(SimTime now, std::vector<uint8_t>& out);
  // The next moment Advance or TakeDue has something to do.
  std::optional<SimTime> NextDeadline() const;

  EcuModel& Model() { return model_; }
  const EcuModel& Model() const { return model_; }
  const std::vector<RequestRecord>& Requests() const { return requests_; }
  const std::vector<ServedSample>& Samples() const { return samples_; }

 private:
  struct Transmission {
    std::vector<uint8_t> bytes;
    SimTime start;
    SimClock::duration byteTime{};
    size_t sent = 0;
    uint64_t powerCycle = 0;
    std::optional<uint32_t> rateAfter;
    std::optional<size_t> sampleIndex;
  };

  void HandleFrame(const ReceivedFrame& frame, SimTime now);

  const EcuSimConfig config_;
  std::function<uint32_t()> testerRate_;
  EcuModel model_;
  FrameAssembler assembler_;
  std::deque<Transmission> outgoing_;
  std::vector<RequestRecord> requests_;
  std::vector<ServedSample> samples_;
};

}  // namespace drunvale::sim
