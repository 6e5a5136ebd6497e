// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace drunvale::sim {

// What the car is doing at one moment of the drive.
struct DriveState {
  double speedKmh = 0;
  double airKgh = 0;
  double fuelLh = 0;
  bool running = true;
};

// The four live-data fields as the control unit encodes them.
struct LiveFields {
  uint8_t status = 0;  // bit 0 set: engine stopped; bit 1 set: throttle closed at standstill
  uint8_t speedByte = 0;
  uint16_t airRaw = 0;   // 0.1 kg/h per count
  uint16_t fuelRaw = 0;  // 0.02 l/h per count
};

// A repeating drive, as a pure function of time: idle, a long stop-and-go jam that stays below
// 30 km/h, town driving with red lights and a shorter crawl, a highway stretch at 90 to 110 km/h,
// back through town to idle. Fuel and air follow speed and acceleration, with the fuel cut off
// while the car slows down from speed, so every figure a trip computer shows keeps moving.
class DriveProfile {
 public:
  struct Keyframe {
    double seconds;
    double speedKmh;
  };

  DriveProfile();  // the built-in cycle
  explicit DriveProfile(std::vector<Keyframe> keys);

  double CycleSeconds() const { return keys_.back().seconds; }
  // The state at a moment of the drive; the cycle repeats, and times before 0 count from 0.
  DriveState At(double profileSeconds) const;
  const std::vector<Keyframe>& Keyframes() const { return keys_; }

 private:
  std::vector<Keyframe> keys_;
};

// Rounds a state into the block's fields; an engine that does not run reports zeros.
LiveFields EncodeLiveFields(const DriveState& state);

// The same conversions a tester applies, in single precision.
float DecodeAir(uint16_t raw);
float DecodeFuel(uint16_t raw);

}  // namespace drunvale::sim
