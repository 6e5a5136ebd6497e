// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/obd_kline.h"

#include <algorithm>

#include "sim/ecu_frames.h"

namespace drunvale::sim {
namespace {

constexpr uint8_t kFunctional = 0x33;

}  // namespace

std::optional<std::array<uint8_t, 2>> ObdKLineCar::FiveBaudInit(bool ignitionOn) const {
  if (!ignitionOn) return std::nullopt;
  if (car_.Config().bus == ObdBus::Iso9141) return std::array<uint8_t, 2>{0x08, 0x08};
  if (car_.Config().fiveBaudInit) return std::array<uint8_t, 2>{0xE9, 0x8F};
  return std::nullopt;
}

void ObdKLineCar::Hear(const std::vector<uint8_t>& frame, SimTime now, bool ignitionOn) {
  if (!ignitionOn || frame.size() < 5 || Checksum(frame.data(), frame.size() - 1) != frame.back()) {
    return;
  }
  const bool iso9141 = car_.Config().bus == ObdBus::Iso9141;
  std::vector<uint8_t> data;
  if (iso9141) {
    if (frame[0] != 0x68 || frame[1] != 0x6A || frame[2] != kTesterAddress) return;
    data.assign(frame.begin() + 3, frame.end() - 1);
  } else {
    const size_t header = (frame[0] & 0x3F) == 0 ? 4 : 3;
    const size_t length = header == 4 ? frame[3] : frame[0] & 0x3F;
    if ((frame[0] & 0xC0) != 0xC0 || frame[1] != kFunctional || frame[2] != kTesterAddress ||
        frame.size() != header + length + 1) {
      return;
    }
    data.assign(frame.begin() + static_cast<ptrdiff_t>(header), frame.end() - 1);
  }

  std::vector<std::vector<uint8_t>> answers;
  if (!iso9141 && data == std::vector<uint8_t>{0x81}) {
    answers = {{0xC1, 0xE9, 0x8F}};  // StartCommunication with ISO 14230-4's key bytes
  } else if (!iso9141 && data == std::vector<uint8_t>{0x3E}) {
    answers = {{0x7E}};
  } else {
    answers = car_.Answer(data, now);
  }
  for (std::vector<uint8_t>& answer : answers) {
    std::vector<uint8_t> bytes;
    if (iso9141) {
      bytes = {0x48, 0x6B, kEcuAddress};
    } else {
      bytes = {static_cast<uint8_t>(0x80 | answer.size()), kTesterAddress, kEcuAddress};
    }
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    bytes.push_back(Checksum(bytes.data(), bytes.size()));
    Queue(std::move(bytes), now);
  }
}

void ObdKLineCar::Queue(std::vector<uint8_t> bytes, SimTime now) {
  // Each message after P2, counted from the request or from the message before.
  SimTime start = now;
  if (!outgoing_.empty()) {
    const Message& last = outgoing_.back();
    start = std::max(start, last.start + byteTime_ * static_cast<int64_t>(last.bytes.size()));
  }
  start += car_.Config().klineResponseDelay;
  outgoing_.push_back({std::move(bytes), start, 0});
}

std::optional<SimTime> ObdKLineCar::NextDeadline() const {
  if (outgoing_.empty()) return std::nullopt;
  const Message& m = outgoing_.front();
  return m.start + byteTime_ * static_cast<int64_t>(m.sent + 1);
}

void ObdKLineCar::TakeDue(SimTime now, std::vector<uint8_t>& out) {
  while (!outgoing_.empty()) {
    Message& m = outgoing_.front();
    while (m.sent < m.bytes.size() &&
           m.start + byteTime_ * static_cast<int64_t>(m.sent + 1) <= now) {
      out.push_back(m.bytes[m.sent++]);
    }
    if (m.sent < m.bytes.size()) return;
    outgoing_.pop_front();
  }
}

}  // namespace drunvale::sim
