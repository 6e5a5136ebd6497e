// SPDX-License-Identifier: GPL-3.0-or-later
#include "trip/trip_computer.h"

#include <utility>

namespace drunvale {

namespace {

// The single-precision value nearest to 1 / 3600000.
constexpr float kHoursPerMs = 2.7777778e-7f;
// Handed out in l/100 km while the car stands: above any limit, so it sounds as excessive.
constexpr float kStandingPer100 = 100000.0f;

void RaiseTo(float& maximum, float value) {
  if (value > maximum) maximum = value;
}

}  // namespace

TripComputer::TripComputer(const SharedSettings& settings, TickClock& clock,
                           ConsumptionSink consumption)
    : settings_(settings), clock_(clock), consumption_(std::move(consumption)) {}

void TripComputer::AddSample(float speed, float air, float fuel, bool running) {
  // Taken before our own lock: the settings lock and ours are never held together.
  const Parameters params = settings_.GetParameters();
  float consumption = 0;
  bool counted;
  {
    std::lock_guard lock(mutex_);
    counted = AddSampleLocked(clock_.NowMs(), params, speed, air, fuel, running, consumption);
  }
  if (counted && consumption_) consumption_(consumption);
}

bool TripComputer::AddSampleLocked(uint32_t now, const Parameters& params, float speed, float air,
                                   float fuel, bool running, float& consumption) {
  if (state_ == JamState::Idle) {
    // The first sample of a trip only starts the time base.
    if (running) {
      lastSampleTick_ = now;
      slowSince_ = now;
      state_ = JamState::Slow;
      paused_ = false;
    }
    return false;
  }
  if (!running) {
    if (state_ == JamState::Slow) AttributePending(outsideJam_);
    state_ = JamState::Idle;
    paused_ = false;
    return false;
  }
  if (paused_) {
    // A fresh time base: nothing is added for the pause, and a slow stretch goes on counting
    // from where it stood when polling stopped.
    paused_ = false;
    slowSince_ += now - lastSampleTick_;
    lastSampleTick_ = now;
  }

  current_.Distance = speed;
  current_.Air = air;
  current_.Fuel = fuel;
  RaiseTo(maximum_.Distance, speed);
  RaiseTo(maximum_.Air, air);
  RaiseTo(maximum_.Fuel, fuel);

  float per100 = kStandingPer100;
  if (speed >= 1.0f) {
    per100 = fuel / speed * 100.0f;
    RaiseTo(maxPer100Km_, per100);
  }
  consumption = litresPerHour_ ? fuel : per100;
  current_.TimeMs = 1;
  maximum_.TimeMs = 1;

  // Unsigned subtraction absorbs one wrap of the tick counter.
  const uint32_t dt = now - lastSampleTick_;
  const float hours = static_cast<float>(dt) * kHoursPerMs;
  const TripFigures increment{dt, speed * hours, air * hours, fuel * hours};

  const float jamSpeed = static_cast<float>(params.JamSpeed);
  const uint32_t jamTimeMs = static_cast<uint32_t>(params.JamMinutes) * 60000u;
  switch (state_) {
    case JamState::Slow:
      pending_.Add(increment);
      if (speed >= jamSpeed) {
        AttributePending(outsideJam_);
        state_ = JamState::Moving;
      } else if (now - slowSince_ >= jamTimeMs) {
        AttributePending(inJam_);
        state_ = JamState::Jammed;
      }
      break;
    case JamState::Jammed:
      inJam_.Add(increment);
      if (speed >= jamSpeed) state_ = JamState::Moving;
      break;
    case JamState::Moving:
      outsideJam_.Add(increment);
      if (speed < jamSpeed) {
        state_ = JamState::Slow;
        slowSince_ = now;
      }
      break;
    case JamState::Idle:
      break;
  }
  lastSampleTick_ = now;
  return true;
}

void TripComputer::AttributePending(TripFigures& side) {
  side.Add(pending_);
  pending_ = {};
}

void TripComputer::PollingPaused() {
  std::lock_guard lock(mutex_);
  paused_ = true;
}

TripSnapshot TripComputer::Reset() {
  std::lock_guard lock(mutex_);
  TripSnapshot ended = SnapshotLocked();
  // The unit flag and the ticks stay; Idle makes the next sample start a new time base.
  pending_ = {};
  inJam_ = {};
  outsideJam_ = {};
  maximum_ = {};
  current_ = {};
  maxPer100Km_ = 0;
  state_ = JamState::Idle;
  return ended;
}

void TripComputer::SetLitresPerHour(bool litresPerHour) {
  std::lock_guard lock(mutex_);
  litresPerHour_ = litresPerHour;
}

bool TripComputer::LitresPerHour() const {
  std::lock_guard lock(mutex_);
  return litresPerHour_;
}

TripSnapshot TripComputer::Snapshot() const {
  std::lock_guard lock(mutex_);
  return SnapshotLocked();
}

TripSnapshot TripComputer::SnapshotLocked() const {
  return {pending_, inJam_, outsideJam_, maximum_, current_, maxPer100Km_, litresPerHour_, state_};
}

}  // namespace drunvale
