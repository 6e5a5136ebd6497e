// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/clock.h"
#include "settings/settings.h"
#include "trip/trip_figures.h"

namespace drunvale {

// What the display reads: one consistent copy of the statistics.
struct TripSnapshot {
  TripFigures Pending;
  TripFigures InJam;
  TripFigures OutsideJam;
  TripFigures Maximum;
  TripFigures Current;
  float MaxPer100Km = 0;
  bool LitresPerHour = true;
  JamState State = JamState::Idle;

  // "везде": including the amounts the jam rule has not attributed yet.
  TripFigures Everywhere() const { return Sum(Sum(Pending, InJam), OutsideJam); }
};

// Integrates the ECU's live samples into trip statistics, splits them into traffic jams and
// free driving, and hands the current consumption on (l/h or l/100 km, by the unit flag).
//
// AddSample runs on the connection worker; Reset, the unit flag and Snapshot on the UI thread.
// One lock covers the whole object; the consumption sink is called after it is released, so
// the sink may take locks of its own.
class TripComputer {
 public:
  using ConsumptionSink = std::function<void(float)>;

  TripComputer(const SharedSettings& settings, TickClock& clock, ConsumptionSink consumption);

  TripComputer(const TripComputer&) = delete;
  TripComputer& operator=(const TripComputer&) = delete;

  // speed km/h, air kg/h, fuel l/h; running false ends the trip. Allocates nothing.
  void AddSample(float speed, float air, float fuel, bool running);
  // Polling stopped, or begins anew: the next sample restarts the time base instead of being
  // integrated over the pause. The jam state and the amounts held apart stay; a slow stretch
  // goes on from where it was, the pause not counted in it.
  void PollingPaused();
  // Returns the statistics as they stood at the reset, taken under the same lock, so that no
  // sample falls between the ended trip and the new one.
  TripSnapshot Reset();

  void SetLitresPerHour(bool litresPerHour);
  bool LitresPerHour() const;

  TripSnapshot Snapshot() const;

 private:
  // Returns whether the sample was counted; consumption is then the value to hand out.
  bool AddSampleLocked(uint32_t now, const Parameters& params, float speed, float air, float fuel,
                       bool running, float& consumption);
  void AttributePending(TripFigures& side);
  TripSnapshot SnapshotLocked() const;

  const SharedSettings& settings_;
  TickClock& clock_;
  const ConsumptionSink consumption_;

  mutable std::mutex mutex_;
  TripFigures pending_;
  TripFigures inJam_;
  TripFigures outsideJam_;
  TripFigures maximum_;
  TripFigures current_;
  bool litresPerHour_ = true;
  float maxPer100Km_ = 0;
  uint32_t lastSampleTick_ = 0;
  uint32_t slowSince_ = 0;
  JamState state_ = JamState::Idle;
  bool paused_ = false;  // the next sample follows a pause in polling
};

}  // namespace drunvale
