// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/drive_profile.h"
#include "sim/ecu_frames.h"
#include "sim/ecu_sim_config.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// What the control unit does about one received frame.
struct EcuReaction {
  RequestRecord record;
  std::vector<uint8_t> transmit;       // garbage if any, then the answer frame; empty: silence
  std::optional<uint32_t> rateAfter;   // the rate to listen at once the answer has gone out
  std::optional<ServedSample> sample;  // a live-data block handed out
};

// The control unit's behaviour without any I/O or thread: the seven services, its line rate, the
// drive behind the live data and the fault switches. Not thread-safe; its owner locks it.
class EcuModel {
 public:
  EcuModel(const EcuSimConfig& config, SimTime start);

  // The drive and the idle timer count from here.
  void SetStart(SimTime start);

  EcuReaction Receive(const ReceivedFrame& frame, uint32_t testerRate, SimTime now);
  // Ends a timed ignition-off and drops an idle session back to the default rate.
  void Advance(SimTime now);
  // The next moment Advance has something to do.
  std::optional<SimTime> NextDeadline() const;

  uint32_t LineRate() const { return lineRate_; }
  // Called once an answer that switches the rate has gone out whole.
  void SwitchLineRate(uint32_t rate, SimTime now);
  double ProfileSeconds(SimTime now) const;

  // Fault switches.
  void SetIgnitionOff(SimTime now, std::optional<std::chrono::milliseconds> duration);
  void SetIgnitionOn();
  bool IgnitionOn() const { return !ignitionOff_; }
  // Grows with every ignition-off; an answer queued before it must not go out after it.
  uint64_t PowerCycle() const { return powerCycle_; }
  void ReplyBusy(int requests) { busyLeft_ = requests; }
  void CorruptChecksums(int responses) { corruptLeft_ = responses; }
  void InjectGarbage(std::vector<uint8_t> bytes, int responses);
  void SetKeyBytes(std::array<uint8_t, 2> keyBytes) { keyBytes_ = keyBytes; }
  void SetEngineStopped(bool stopped) { engineStopped_ = stopped; }

 private:
  struct Answer {
    std::vector<uint8_t> data;
    std::optional<uint32_t> rateAfter;
    std::optional<LiveFields> live;
  };
  Answer Dispatch(const std::vector<uint8_t>& request, SimTime now);
  static Answer Negative(uint8_t sid, uint8_t code);

  EcuSimConfig config_;
  SimTime start_;
  DriveProfile profile_;
  uint32_t lineRate_ = kDefaultLineRate;
  SimTime lastHeard_;
  uint64_t understood_ = 0;

  bool ignitionOff_ = false;
  std::optional<SimTime> ignitionOnAt_;
  uint64_t powerCycle_ = 0;
  int busyLeft_ = 0;
  std::vector<SimTroubleCode> codes_;  // until a clear
  int corruptLeft_ = 0;
  std::vector<uint8_t> garbage_;
  int garbageLeft_ = 0;
  std::array<uint8_t, 2> keyBytes_;
  bool engineStopped_ = false;
};

}  // namespace drunvale::sim
