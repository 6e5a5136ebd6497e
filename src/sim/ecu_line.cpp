// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_line.h"

#include <algorithm>

namespace drunvale::sim {
namespace {

SimClock::duration ByteTime(uint32_t rate) {
  // Start bit, eight data bits, stop bit.
  return std::chrono::duration_cast<SimClock::duration>(std::chrono::nanoseconds(
      rate == 0 ? 0 : static_cast<int64_t>(10'000'000'000LL / static_cast<int64_t>(rate))));
}

std::optional<SimTime> Earlier(std::optional<SimTime> a, std::optional<SimTime> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace

EcuLine::EcuLine(const EcuSimConfig& config, SimTime start, std::function<uint32_t()> testerRate)
    : config_(config),
      testerRate_(std::move(testerRate)),
      model_(config_, start),
      assembler_(config_.frameGap) {}

void EcuLine::Hear(const uint8_t* bytes, size_t n, SimTime now) {
  for (size_t i = 0; i < n; ++i) {
    if (auto frame = assembler_.Push(bytes[i], now)) HandleFrame(*frame, now);
  }
}

void EcuLine::Advance(SimTime now) {
  if (auto partial = assembler_.Expire(now)) HandleFrame(*partial, now);
  model_.Advance(now);
}

std::optional<SimTime> EcuLine::NextDeadline() const {
  std::optional<SimTime> next = Earlier(assembler_.Deadline(), model_.NextDeadline());
  if (!outgoing_.empty()) {
    const Transmission& tx = outgoing_.front();
    next = Earlier(next, tx.start + tx.byteTime * static_cast<int64_t>(tx.sent));
  }
  return next;
}

void EcuLine::HandleFrame(const ReceivedFrame& frame, SimTime now) {
  EcuReaction reaction = model_.Receive(frame, testerRate_ ? testerRate_() : 0, now);
  requests_.push_back(std::move(reaction.record));
  if (reaction.transmit.empty()) return;
  Transmission tx;
  tx.bytes = std::move(reaction.transmit);
  tx.start = now + config_.responseDelay;
  if (!outgoing_.empty()) {
    const Transmission& last = outgoing_.back();
    tx.start =
        std::max(tx.start, last.start + last.byteTime * static_cast<int64_t>(last.bytes.size()));
  }
  if (config_.pacing) tx.byteTime = ByteTime(model_.LineRate());
  tx.powerCycle = model_.PowerCycle();
  tx.rateAfter = reaction.rateAfter;
  if (reaction.sample) {
    tx.sampleIndex = samples_.size();
    samples_.push_back(*reaction.sample);
  }
  outgoing_.push_back(std::move(tx));
}

void EcuLine::TakeDue(SimTime now, std::vector<uint8_t>& out) {
  while (!outgoing_.empty()) {
    Transmission& tx = outgoing_.front();
    if (now < tx.start) return;
    size_t due = tx.bytes.size();
    if (tx.byteTime.count() > 0) {
      auto slots = static_cast<size_t>((now - tx.start) / tx.byteTime) + 1;
      due = std::min(due, slots);
    }
    if (due <= tx.sent) return;
    if (!model_.IgnitionOn() || model_.PowerCycle() != tx.powerCycle) {
      // The power went while the answer was on its way: the rest never comes.
      outgoing_.pop_front();
      continue;
    }
    const bool last = due == tx.bytes.size();
    // Settle the records before the last byte leaves, so a tester that has just read it finds
    // them complete.
    if (last && tx.rateAfter) model_.SwitchLineRate(*tx.rateAfter, now);
    if (last && tx.sampleIndex) {
      samples_[*tx.sampleIndex].sentAt = now;
      samples_[*tx.sampleIndex].sent = true;
    }
    out.insert(out.end(), tx.bytes.begin() + static_cast<ptrdiff_t>(tx.sent),
               tx.bytes.begin() + static_cast<ptrdiff_t>(due));
    tx.sent = due;
    if (!last) return;
    outgoing_.pop_front();
  }
}

}  // namespace drunvale::sim
