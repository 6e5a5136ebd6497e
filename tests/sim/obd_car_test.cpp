// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/obd_car.h"

#include <gtest/gtest.h>

#include <set>

namespace drunvale::sim {
namespace {

// Mode 01 data bytes of one PID, as the car encodes them.
std::vector<uint8_t> Read(ObdCar& car, uint8_t pid, SimTime at) {
  const std::vector<std::vector<uint8_t>> answer = car.Answer({0x01, pid}, at);
  if (answer.size() != 1 || answer[0].size() < 3) return {};
  return std::vector<uint8_t>(answer[0].begin() + 2, answer[0].end());
}

double Word(const std::vector<uint8_t>& b) {
  return b.size() >= 2 ? 256.0 * b[0] + b[1] : 0;
}

// A trip computer following the standard formulas gets the car's true fuel back from what it
// reads, over a whole drive cycle and for each way of measuring, overrun cut included.
TEST(ObdCar, StandardFormulasGiveTheTrueFuelBack) {
  for (ObdCarKind kind : {ObdCarKind::FuelRate, ObdCarKind::Maf, ObdCarKind::SpeedDensity}) {
    ObdCarConfig config;
    config.kind = kind;
    config.coldOpenLoopSeconds = 120;
    const SimTime start{};
    ObdCar car(config, EcuSimConfig{}, start);
    const int cycle = static_cast<int>(DriveProfile().CycleSeconds());
    double trueLitres = 0, readLitres = 0;
    int cuts = 0;
    std::set<int> statuses;
    for (int s = 0; s < cycle; ++s) {
      const SimTime at = start + std::chrono::seconds(s);
      const ObdEngineState truth = car.EngineAt(at);
      const int status = Read(car, 0x03, at).at(0);
      statuses.insert(status);
      const double throttle = Read(car, 0x11, at).at(0) * 100.0 / 255;
      const double speed = Read(car, 0x0D, at).at(0);
      const double lambda = Word(Read(car, 0x44, at)) * 2 / 65536;
      double airGs = 0;
      if (kind == ObdCarKind::SpeedDensity) {
        EXPECT_TRUE(Read(car, 0x10, at).empty());
        const double rpm = Word(Read(car, 0x0C, at)) / 4;
        const double kelvin = Read(car, 0x0F, at).at(0) - 40 + 273.15;
        const double mapPa = Read(car, 0x0B, at).at(0) * 1000.0;
        airGs = mapPa * 1.6e-3 * 0.8 * rpm / 120 / (287.05 * kelvin) * 1000;
      } else {
        airGs = Word(Read(car, 0x10, at)) / 100;
      }
      // The cut comes with a closed throttle from 15 km/h up, full load with an open one.
      const bool cut = status == 4 && throttle < 1 && speed >= 15;
      double fuelLh = cut ? 0 : airGs * 3600 / (14.7 * lambda * 740);
      if (kind == ObdCarKind::FuelRate) fuelLh = Word(Read(car, 0x5E, at)) / 20;
      if (truth.fuelLh == 0) {
        ++cuts;
        EXPECT_TRUE(cut) << s;
        EXPECT_GT(truth.airKgh, 0);
      }
      trueLitres += truth.fuelLh / 3600;
      readLitres += fuelLh / 3600;
    }
    EXPECT_GT(cuts, 10);
    EXPECT_EQ(statuses, (std::set<int>{1, 2, 4}));
    // Rounding of the encodings: 1 kPa of manifold pressure is the coarsest.
    EXPECT_NEAR(readLitres, trueLitres, trueLitres * 0.02) << static_cast<int>(kind);
  }
}

}  // namespace
}  // namespace drunvale::sim
