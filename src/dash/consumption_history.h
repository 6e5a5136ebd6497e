// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "trip/trip_computer.h"

namespace drunvale {

// What the car was doing in one second of the strip chart.
enum class PointKind : uint8_t {
  Gap,     // no sample was counted: the link stopped, the control unit fell silent, engine off
  Moving,  // counted outside a jam
  Slow,    // slow, not yet a jam: it becomes one if the slow stretch lasts the jam time
  Jam,     // counted in a jam
};

struct HistoryPoint {
  float fuel = 0;   // l/h
  float speed = 0;  // km/h
  PointKind kind = PointKind::Gap;
};

// The last half hour of consumption, one point a second, taken from the display's refresh
// (never from the worker): the trip computer's current sample at the last refresh of each
// second. Seconds without a counted sample stay gaps, also while no refresh came at all.
// A slow stretch that the jam rule later counts as a jam is turned into jam points back to its
// start, as the trip computer moves its amounts.
class ConsumptionHistory {
 public:
  static constexpr size_t kCapacity = 30 * 60;

  void Record(uint32_t nowMs, const TripSnapshot& trip);

  // Points held, at most kCapacity; the newest is age 0.
  size_t Size() const;
  const HistoryPoint& At(size_t age) const;
  // Grows whenever a point is added or changed: the chart need not be drawn again without.
  uint64_t Revision() const { return revision_; }

 private:
  HistoryPoint& Slot(uint64_t second) { return points_[second % kCapacity]; }
  void AdvanceTo(uint64_t second);
  void TurnSlowIntoJam();

  std::array<HistoryPoint, kCapacity> points_{};
  bool started_ = false;
  uint32_t lastMs_ = 0;
  uint64_t elapsedMs_ = 0;
  uint64_t second_ = 0;  // the newest point's second since the first record
  uint32_t lastTripTimeMs_ = 0;
  std::optional<uint64_t> slowSince_;  // the first second of the running slow stretch
  uint64_t revision_ = 0;
};

}  // namespace drunvale
