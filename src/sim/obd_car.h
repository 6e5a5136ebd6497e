// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

#include "sim/drive_profile.h"
#include "sim/ecu_sim_config.h"
#include "sim/obd_car_config.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// What the engine does at one moment, in true values before any encoding.
struct ObdEngineState {
  double speedKmh = 0;
  double fuelLh = 0;
  double airKgh = 0;
  double rpm = 0;
  double mapKpa = 0;
  double intakeC = 0;
  double throttlePercent = 0;
  double lambda = 1;  // the commanded equivalence ratio
  double shortTrimPercent = 0;
  double longTrimPercent = 0;
  uint8_t fuelStatus = 2;
};

// The standard engine unit of a petrol car: mode 01 and mode 09 answers over the drive profile,
// without any bus or timing. Its values agree with each other: the air is the fuel at the
// commanded ratio (the overrun cut aside, when air flows without fuel), and manifold pressure,
// intake temperature and engine speed give that air back through the ideal gas law with the
// configured displacement and volumetric efficiency. Not thread-safe; its owner locks it.
class ObdCar {
 public:
  ObdCar(const ObdCarConfig& car, const EcuSimConfig& ecu, SimTime start);

  const ObdCarConfig& Config() const { return config_; }
  ObdEngineState EngineAt(SimTime now) const;
  bool Supports(uint8_t pid) const { return pid < supported_.size() && supported_[pid]; }

  // The messages (service and data, no header) the car sends for a request; none when it keeps
  // quiet, as OBD units do for what they do not support. On K-line only the first PID of a
  // mode 01 request is answered and the VIN comes in five messages.
  std::vector<std::vector<uint8_t>> Answer(const std::vector<uint8_t>& request, SimTime now);
  const std::vector<ObdServedSample>& Served() const { return served_; }

 private:
  double ElapsedSeconds(SimTime now) const;
  void AppendPid(uint8_t pid, const ObdEngineState& engine, std::vector<uint8_t>& out) const;
  std::vector<std::vector<uint8_t>> Vin() const;
  // Mode 03 (stored) or 07 (pending).
  std::vector<std::vector<uint8_t>> Codes(bool pending) const;

  ObdCarConfig config_;
  EcuSimConfig ecu_;
  SimTime start_;
  DriveProfile profile_;
  std::bitset<0x61> supported_;
  std::vector<ObdServedSample> served_;
  std::vector<SimTroubleCode> codes_;  // until mode 04
};

}  // namespace drunvale::sim
