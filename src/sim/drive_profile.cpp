// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/drive_profile.h"

#include <algorithm>
#include <cmath>

namespace drunvale::sim {
namespace {

// Appends ramps and holds to a keyframe list.
class CycleBuilder {
 public:
  CycleBuilder() { keys_.push_back({0, 0}); }
  void Hold(double seconds) { keys_.push_back({Now() + seconds, Speed()}); }
  void Ramp(double toKmh, double seconds) { keys_.push_back({Now() + seconds, toKmh}); }
  std::vector<DriveProfile::Keyframe> Take() { return std::move(keys_); }

 private:
  double Now() const { return keys_.back().seconds; }
  double Speed() const { return keys_.back().speedKmh; }
  std::vector<DriveProfile::Keyframe> keys_;
};

std::vector<DriveProfile::Keyframe> BuiltInCycle() {
  CycleBuilder b;
  b.Hold(40);  // engine idling in the car park

  // Stop-and-go jam, about 12 minutes and never at 30 km/h.
  const double crawlPeaks[] = {12, 20, 8, 25, 15, 10, 22, 6, 18, 14, 24, 9, 16, 21, 11, 19, 7, 23};
  for (double peak : crawlPeaks) {
    b.Ramp(peak, peak / 2.5);
    b.Hold(8 + peak / 5);
    b.Ramp(0, peak / 3.5);
    b.Hold(20);
  }

  // Town: traffic lights, then a slow stretch of about three minutes.
  b.Ramp(50, 14);
  b.Hold(60);
  b.Ramp(35, 5);
  b.Hold(20);
  b.Ramp(55, 8);
  b.Hold(45);
  b.Ramp(0, 12);
  b.Hold(30);
  b.Ramp(45, 12);
  b.Hold(40);
  b.Ramp(20, 8);
  b.Hold(40);
  b.Ramp(10, 4);
  b.Hold(20);
  b.Ramp(25, 6);
  b.Hold(50);
  b.Ramp(5, 8);
  b.Hold(15);
  b.Ramp(20, 6);
  b.Hold(20);
  b.Ramp(60, 18);
  b.Hold(60);

  // Highway.
  b.Ramp(95, 25);
  b.Hold(90);
  b.Ramp(110, 20);
  b.Hold(120);
  b.Ramp(90, 15);
  b.Hold(100);
  b.Ramp(105, 10);
  b.Hold(150);
  b.Ramp(100, 5);
  b.Hold(60);
  b.Ramp(50, 25);

  // Back through town to the car park.
  b.Hold(40);
  b.Ramp(30, 8);
  b.Hold(20);
  b.Ramp(0, 8);
  b.Hold(60);
  return b.Take();
}

// Litres per hour for a speed and an acceleration (km/h per second): idle flow, rolling and air
// resistance, and the work of speeding up. Slowing down from speed cuts the fuel off.
double FuelFlow(double speedKmh, double accelKmhPerS) {
  if (accelKmhPerS < -1.0 && speedKmh > 15) return 0;
  double cruise = 0.8 + 0.025 * speedKmh + 3.5e-6 * speedKmh * speedKmh * speedKmh;
  double accelMs2 = std::max(0.0, accelKmhPerS) / 3.6;
  return cruise + accelMs2 * (2.5 + 0.08 * speedKmh);
}

// Air follows the fuel at the stoichiometric ratio (14.7 kg per kg, petrol at 0.74 kg/l), but
// never drops below what an idling engine breathes.
double AirFlow(double speedKmh, double fuelLh) {
  return std::max(fuelLh * 0.74 * 14.7, 9.0 + 0.08 * speedKmh);
}

uint16_t ToRaw(double value, double unit) {
  double counts = std::round(value / unit);
  return static_cast<uint16_t>(std::clamp(counts, 0.0, 65535.0));
}

}  // namespace

DriveProfile::DriveProfile() : DriveProfile(BuiltInCycle()) {}

DriveProfile::DriveProfile(std::vector<Keyframe> keys) : keys_(std::move(keys)) {
  if (keys_.empty()) keys_.push_back({0, 0});
  if (keys_.size() == 1) keys_.push_back({1, keys_.front().speedKmh});
}

DriveState DriveProfile::At(double profileSeconds) const {
  double t = std::fmod(std::max(0.0, profileSeconds), CycleSeconds());
  auto next = std::upper_bound(keys_.begin(), keys_.end(), t,
                               [](double s, const Keyframe& k) { return s < k.seconds; });
  if (next == keys_.begin()) next = keys_.begin() + 1;
  if (next == keys_.end()) next = keys_.end() - 1;
  const Keyframe& a = *(next - 1);
  const Keyframe& b = *next;
  double span = b.seconds - a.seconds;
  double slope = span > 0 ? (b.speedKmh - a.speedKmh) / span : 0;
  double speed = std::max(0.0, a.speedKmh + slope * (t - a.seconds));

  DriveState state;
  state.speedKmh = speed;
  state.fuelLh = FuelFlow(speed, slope);
  state.airKgh = AirFlow(speed, state.fuelLh);
  state.running = true;
  return state;
}

LiveFields EncodeLiveFields(const DriveState& state) {
  LiveFields fields;
  if (!state.running) {
    fields.status = 0x01;
    return fields;
  }
  fields.speedByte = static_cast<uint8_t>(std::clamp(std::round(state.speedKmh), 0.0, 255.0));
  fields.status = fields.speedByte == 0 ? 0x02 : 0x00;
  fields.airRaw = ToRaw(state.airKgh, 0.1);
  fields.fuelRaw = ToRaw(state.fuelLh, 0.02);
  return fields;
}

float DecodeAir(uint16_t raw) {
  return static_cast<float>(raw) * 0.1f;
}
float DecodeFuel(uint16_t raw) {
  return static_cast<float>(raw) * 0.02f;
}

}  // namespace drunvale::sim
