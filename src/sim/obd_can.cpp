// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/obd_can.h"

#include <algorithm>

namespace drunvale::sim {
namespace {

using std::chrono::microseconds;

// An 8-byte standard frame with its stuff bits at 500 kbit/s.
constexpr microseconds kFrameTime{250};
// The chip's flow control follows a first frame about this soon.
constexpr microseconds kFlowControlReaction{300};
// The unit's pace between consecutive frames under the chip's STmin of 0.
constexpr microseconds kConsecutiveGap{1000};

}  // namespace

SimTime ObdCanBus::Send(const std::vector<uint8_t>& data, SimTime at, bool ignitionOn) {
  const SimTime end = at + kFrameTime;
  if (!ignitionOn) return end;
  SimTime answerAt = end + car_.Config().canResponseDelay;
  for (const std::vector<uint8_t>& message : car_.Answer(data, end)) {
    Queue(message, answerAt);
    answerAt = pending_.back().at + car_.Config().canResponseDelay;
  }
  return end;
}

void ObdCanBus::Queue(const std::vector<uint8_t>& message, SimTime at) {
  CanFrame frame;
  frame.id = kObdEngineAnswerId;
  frame.data.fill(car_.Config().canPadding);
  const size_t n = message.size();
  if (n <= 7) {
    frame.data[0] = static_cast<uint8_t>(n);
    std::copy(message.begin(), message.end(), frame.data.begin() + 1);
    frame.at = at + kFrameTime;
    frame.endsMessage = true;
    pending_.push_back(frame);
    return;
  }
  frame.data[0] = static_cast<uint8_t>(0x10 | (n >> 8));
  frame.data[1] = static_cast<uint8_t>(n & 0xFF);
  std::copy(message.begin(), message.begin() + 6, frame.data.begin() + 2);
  frame.at = at + kFrameTime;
  pending_.push_back(frame);
  SimTime next = frame.at + kFlowControlReaction + kFrameTime;
  uint8_t sequence = 1;
  for (size_t i = 6; i < n; i += 7, ++sequence) {
    CanFrame consecutive;
    consecutive.id = kObdEngineAnswerId;
    consecutive.data.fill(car_.Config().canPadding);
    consecutive.data[0] = static_cast<uint8_t>(0x20 | (sequence & 0x0F));
    const size_t count = std::min<size_t>(7, n - i);
    std::copy_n(message.begin() + static_cast<ptrdiff_t>(i), count, consecutive.data.begin() + 1);
    consecutive.at = next + kFrameTime;
    consecutive.endsMessage = i + count == n;
    pending_.push_back(consecutive);
    next = consecutive.at + kConsecutiveGap;
  }
}

std::optional<SimTime> ObdCanBus::NextDeadline() const {
  if (pending_.empty()) return std::nullopt;
  return pending_.front().at;
}

void ObdCanBus::TakeDue(SimTime now, std::vector<CanFrame>& out) {
  while (!pending_.empty() && pending_.front().at <= now) {
    out.push_back(pending_.front());
    pending_.pop_front();
  }
}

}  // namespace drunvale::sim
