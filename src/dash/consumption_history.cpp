// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/consumption_history.h"

#include <algorithm>

namespace drunvale {
namespace {

PointKind KindOf(JamState state) {
  switch (state) {
    case JamState::Jammed:
      return PointKind::Jam;
    case JamState::Slow:
      return PointKind::Slow;
    default:
      return PointKind::Moving;
  }
}

}  // namespace

size_t ConsumptionHistory::Size() const {
  if (!started_) return 0;
  return static_cast<size_t>(std::min<uint64_t>(second_ + 1, kCapacity));
}

const HistoryPoint& ConsumptionHistory::At(size_t age) const {
  return points_[(second_ - age) % kCapacity];
}

void ConsumptionHistory::AdvanceTo(uint64_t second) {
  // After a long pause only the last kCapacity seconds need clearing.
  const uint64_t from = std::max(second_ + 1, second >= kCapacity ? second - kCapacity + 1 : 0);
  for (uint64_t s = from; s <= second; ++s)
    Slot(s) = {};
  second_ = second;
  if (slowSince_ && second_ - *slowSince_ >= kCapacity) slowSince_ = second_ - kCapacity + 1;
  ++revision_;
}

void ConsumptionHistory::TurnSlowIntoJam() {
  for (uint64_t s = *slowSince_; s <= second_; ++s) {
    if (Slot(s).kind == PointKind::Slow) Slot(s).kind = PointKind::Jam;
  }
}

void ConsumptionHistory::Record(uint32_t nowMs, const TripSnapshot& trip) {
  if (!started_) {
    started_ = true;
    points_.fill({});
  } else {
    // Unsigned subtraction absorbs a wrap of the tick counter.
    elapsedMs_ += static_cast<uint32_t>(nowMs - lastMs_);
  }
  lastMs_ = nowMs;
  if (elapsedMs_ / 1000 != second_) AdvanceTo(elapsedMs_ / 1000);

  // The engine time grows only with counted samples; a reset takes it back to 0.
  const uint32_t tripTime = trip.Everywhere().TimeMs;
  const bool fresh = trip.State != JamState::Idle && tripTime != 0 && tripTime != lastTripTimeMs_;
  lastTripTimeMs_ = tripTime;

  if (trip.State == JamState::Slow) {
    if (!slowSince_) slowSince_ = second_;
  } else if (trip.State == JamState::Jammed && slowSince_) {
    TurnSlowIntoJam();
    slowSince_.reset();
    ++revision_;
  } else {
    slowSince_.reset();
  }
  if (!fresh) return;
  Slot(second_) = {trip.Current.Fuel, trip.Current.Distance, KindOf(trip.State)};
  ++revision_;
}

}  // namespace drunvale
