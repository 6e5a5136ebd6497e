// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/sim_records.h"

// The control unit's side of the framing, written apart from the link's on purpose: an
// independent check of it, so one misreading of the header cannot pass on both ends.
namespace drunvale::sim {

inline constexpr uint8_t kEcuAddress = 0x10;
inline constexpr uint8_t kTesterAddress = 0xF1;

uint8_t Checksum(const uint8_t* bytes, size_t n);

// Format, target, source, the length byte when the data has 64 bytes or more, the data and the
// additive checksum. The data holds 1 to 255 bytes.
std::vector<uint8_t> BuildFrame(uint8_t target, uint8_t source, const std::vector<uint8_t>& data);

// A frame cut from the tester's byte stream.
struct ReceivedFrame {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> data;  // service identifier and parameters when the frame is usable
  bool complete = false;
  bool checksumOk = false;
  bool forEcu = false;  // target is the control unit and source the tester

  bool Usable() const { return complete && checksumOk && forEcu && !data.empty(); }
};

// Cuts the tester's byte stream into frames, as a control unit listening on the line does. A byte
// that cannot begin a frame is skipped as line noise; a frame that stays unfinished longer than
// the gap is given up and handed out incomplete.
class FrameAssembler {
 public:
  explicit FrameAssembler(std::chrono::microseconds gap) : gap_(gap) {}

  // A frame completed by this byte, if any.
  std::optional<ReceivedFrame> Push(uint8_t byte, SimTime now);
  // The unfinished frame once its gap has passed.
  std::optional<ReceivedFrame> Expire(SimTime now);
  // When Expire has something to hand out; none while no frame is under way.
  std::optional<SimTime> Deadline() const;
  void Clear() { bytes_.clear(); }

 private:
  size_t ExpectedSize() const;  // 0 while the header is not complete yet

  std::chrono::microseconds gap_;
  std::vector<uint8_t> bytes_;
  SimTime lastByte_{};
};

}  // namespace drunvale::sim
