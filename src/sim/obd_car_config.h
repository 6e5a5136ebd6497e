// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace drunvale::sim {

// The bus a standard OBD-II car talks on, as the ELM327 numbers it: 6, 5 (fast init), 3.
enum class ObdBus { Can11At500, Kwp14230, Iso9141 };

// How the car lets a tester work out its fuel: from its own fuel rate (5E) and the air flow, from
// the air flow alone, or from manifold pressure, intake temperature and engine speed.
enum class ObdCarKind { FuelRate, Maf, SpeedDensity };

// A petrol car with a standard engine unit, answering mode 01 and 09 behind the ELM327. Its speed
// and fuel follow the same drive profile as the manufacturer's unit (EcuSimConfig's speed-up and
// start moment apply).
struct ObdCarConfig {
  ObdBus bus = ObdBus::Can11At500;
  ObdCarKind kind = ObdCarKind::FuelRate;
  std::string vin = "VF1DRUNVALE000001";  // 17 characters
  double displacementLitres = 1.6;
  double volumetricEfficiency = 0.8;
  double stoichAfr = 14.7;
  double fuelDensityKgPerL = 0.74;
  double ambientC = 20;
  // Open loop while cold (fuel status 1, a richer mixture) for this long after the start.
  double coldOpenLoopSeconds = 0;
  // From the request's end to the answer: the unit's P2.
  std::chrono::microseconds canResponseDelay{8'000};
  std::chrono::microseconds klineResponseDelay{30'000};
  // The 14230 car also wakes up on the 5-baud init (found as protocol 4 by a search).
  bool fiveBaudInit = false;
  // Filler after the data in a CAN frame.
  unsigned char canPadding = 0xAA;
  // The manufacturer's unit answers on the K-line beside it, as on the cars the live-data
  // block comes from; without it the car is like any other, and only the standard data answer.
  bool manufacturerUnit = true;
};

}  // namespace drunvale::sim
