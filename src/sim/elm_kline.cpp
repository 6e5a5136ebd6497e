// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_kline.h"

#include <algorithm>

namespace drunvale::sim {
namespace {

constexpr uint32_t kKLineRate = 10400;

}  // namespace

// The chip's transmitter runs at 10400 bit/s whatever the unit was asked to switch to, so the
// unit hears it at that rate. Without pacing the frames take no time, as the unit's answers.
ElmKLine::ElmKLine(const EcuSimConfig& ecu, SimTime start)
    : byteTime_(ecu.pacing ? std::chrono::duration_cast<SimClock::duration>(
                                 std::chrono::nanoseconds(10'000'000'000LL / kKLineRate))
                           : SimClock::duration::zero()),
      unit_(ecu, start, [] { return kKLineRate; }),
      // The line has been quiet long before the chip was powered.
      lastActivity_(start - std::chrono::seconds(1)) {}

SimTime ElmKLine::Send(const std::vector<uint8_t>& frame, SimTime at) {
  SimTime begin = std::max(at, outgoing_.empty() ? at : outgoing_.back().end);
  SimTime end = begin + byteTime_ * static_cast<int64_t>(frame.size());
  outgoing_.push_back({frame, end});
  lastActivity_ = std::max(lastActivity_, end);
  return end;
}

std::optional<std::array<uint8_t, 2>> ElmKLine::FiveBaudInit(SimTime at) {
  lastActivity_ = std::max(lastActivity_, at);
  if (!obd_) return std::nullopt;
  return obd_->FiveBaudInit(unit_.Model().IgnitionOn());
}

std::optional<SimTime> ElmKLine::NextDeadline() const {
  std::optional<SimTime> next = unit_.NextDeadline();
  if (obd_) {
    std::optional<SimTime> car = obd_->NextDeadline();
    if (car && (!next || *car < *next)) next = car;
  }
  if (!outgoing_.empty() && (!next || outgoing_.front().end < *next)) next = outgoing_.front().end;
  return next;
}

void ElmKLine::Advance(SimTime now, std::vector<uint8_t>& fromUnit) {
  while (!outgoing_.empty() && outgoing_.front().end <= now) {
    const Outgoing& out = outgoing_.front();
    if (unitListens_) unit_.Hear(out.frame.data(), out.frame.size(), out.end);
    if (obd_) obd_->Hear(out.frame, out.end, unit_.Model().IgnitionOn());
    outgoing_.erase(outgoing_.begin());
  }
  unit_.Advance(now);
  const size_t before = fromUnit.size();
  unit_.TakeDue(now, fromUnit);
  if (obd_) obd_->TakeDue(now, fromUnit);
  if (fromUnit.size() > before) lastActivity_ = std::max(lastActivity_, now);
}

}  // namespace drunvale::sim
