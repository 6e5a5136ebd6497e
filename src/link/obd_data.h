// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/elm_answer.h"

namespace drunvale {

// The mode 01 PIDs the standard data source reads.
namespace pid {
inline constexpr uint8_t kSupported00 = 0x00, kSupported20 = 0x20, kSupported40 = 0x40;
inline constexpr uint8_t kFuelSystem = 0x03, kManifoldPressure = 0x0B, kEngineSpeed = 0x0C,
                         kVehicleSpeed = 0x0D, kIntakeTemperature = 0x0F, kAirFlow = 0x10,
                         kThrottle = 0x11, kEquivalenceRatio = 0x44, kFuelType = 0x51,
                         kFuelRate = 0x5E;
}  // namespace pid

// How many data bytes a PID's answer has; 0 for one this program does not read, after which a
// batched answer cannot be followed.
size_t PidDataLength(uint8_t pid);

// The values read so far; each is there once its PID has been answered.
struct ObdReadings {
  std::optional<int> fuelSystem;  // 1 open loop cold, 2 closed loop, 4 load or cut, 8 fault...
  std::optional<double> manifoldKpa;
  std::optional<double> rpm;
  std::optional<double> speedKmh;
  std::optional<double> intakeC;
  std::optional<double> airGs;
  std::optional<double> throttlePercent;
  std::optional<double> equivalenceRatio;  // lambda: below 1 rich
  std::optional<int> fuelType;  // 1 petrol
  std::optional<double> fuelRateLh;
};

// Takes the values out of a mode 01 answer's payload ("41 pid data [pid data ...]"), in any
// order; false when it is no such answer or a PID's data is cut short.
bool DecodeMode01(const std::vector<uint8_t>& payload, ObdReadings& readings);

// Which PIDs a car supports, from the 00/20/40 bitmaps.
class SupportedPids {
 public:
  // The bitmap answered to `base` (00, 20, 40): bit 31 of A B C D is PID base+1.
  void Add(uint8_t base, const std::vector<uint8_t>& bitmap);
  bool Has(uint8_t pid) const { return pid != 0 && bits_[pid]; }

 private:
  std::array<bool, 256> bits_{};
};

// The bus an OBD-II protocol number (ATDPN, without its "A") names.
enum class ObdBus { Can11, Can29, KLine, Other };
ObdBus BusOfProtocol(int protocol);

// One answer from one control unit, its mode byte first, with the bus's framing taken off.
struct ObdMessage {
  uint32_t source = 0;  // the sender's CAN id or K-line address
  std::vector<uint8_t> payload;
};

// The messages in a chip's answer with headers on: CAN frames reassembled (single, first and
// consecutive frames, any number of units), K-line frames with a good checksum; anything
// malformed is left out.
std::vector<ObdMessage> ObdMessages(const ElmAnswer& answer, ObdBus bus);

// The vehicle identification number from mode 09 PID 02 messages (one on CAN, five numbered
// ones on K-line); empty when it cannot be read.
std::string DecodeVin(const std::vector<ObdMessage>& messages);

// Where a sample's fuel comes from, best first.
enum class FuelSource { FuelRate, AirFlow, SpeedDensity, None };
FuelSource BestFuelSource(const SupportedPids& supported, double displacementL);

// The fuel's properties and, for speed-density, the engine's.
struct FuelProperties {
  double stoichiometricAfr = 14.7;
  double densityKgL = 0.745;
  double displacementL = 0;  // needed only without an air-flow sensor
  double volumetricEfficiency = 0.8;
};

struct ObdEstimate {
  double airKgH = 0;
  double fuelLh = 0;
  bool fuelCut = false;
};

// Air and fuel from the readings by the chosen source: the engine's own fuel rate; the air
// flow at the commanded mixture (stoichiometric in closed loop), none while the fuel is cut
// on overrun (open loop with the throttle at or below closedThrottlePercent at speed); or the
// air from manifold pressure, intake temperature and engine speed, likewise.
ObdEstimate EstimateFuel(const ObdReadings& readings, FuelSource source, const FuelProperties& fuel,
                         double closedThrottlePercent);

}  // namespace drunvale
