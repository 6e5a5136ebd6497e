// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/obd_car.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace drunvale::sim {
namespace {

constexpr double kGasConstant = 287.05;  // J/(kg K), dry air
constexpr double kIdleRpm = 800;
constexpr double kMaxRpm = 6500;
constexpr double kKmhPer1000Rpm[] = {8, 14, 21, 29, 37};
// A driver shifts down before the manifold reaches the outside pressure; above this the unit
// enriches for full load.
constexpr double kShiftMapKpa = 95;
constexpr double kFullLoadMapKpa = 90;
constexpr double kColdLambda = 0.9;
constexpr double kFullLoadLambda = 0.87;
constexpr double kLongTrimPercent = 2.3;

uint16_t Counts(double value, double max = 65535) {
  return static_cast<uint16_t>(std::clamp(std::round(value), 0.0, max));
}

}  // namespace

ObdCar::ObdCar(const ObdCarConfig& car, const EcuSimConfig& ecu, SimTime start)
    : config_(car), ecu_(ecu), start_(start) {
  codes_ = ecu.troubleCodes;
  for (uint8_t pid : {0x00, 0x01, 0x03, 0x06, 0x07, 0x0C, 0x0D, 0x0F, 0x11, 0x20, 0x40, 0x44, 0x51})
    supported_.set(pid);
  if (car.kind != ObdCarKind::SpeedDensity) supported_.set(0x10);
  if (car.kind == ObdCarKind::SpeedDensity) supported_.set(0x0B);
  if (car.kind == ObdCarKind::FuelRate) supported_.set(0x5E);
}

double ObdCar::ElapsedSeconds(SimTime now) const {
  return std::chrono::duration<double>(now - start_).count() * ecu_.profileSpeedup;
}

ObdEngineState ObdCar::EngineAt(SimTime now) const {
  const double elapsed = ElapsedSeconds(now);
  const DriveState drive = profile_.At(ecu_.profileStartSeconds + elapsed);
  ObdEngineState e;
  e.speedKmh = drive.speedKmh;
  e.fuelLh = drive.fuelLh;
  e.intakeC = config_.ambientC + 5 + 10 * std::exp(-drive.speedKmh / 30);
  e.longTrimPercent = kLongTrimPercent;
  const bool cut = drive.fuelLh <= 0;
  const bool cold = elapsed < config_.coldOpenLoopSeconds;

  const double kelvin = e.intakeC + 273.15;
  const double sweptM3 = config_.displacementLitres / 1000 * config_.volumetricEfficiency;
  // Four-stroke: each cylinder fills once every two turns.
  auto mapAt = [&](double airKgh, double rpm) {
    return airKgh / 3600 * 120 * kGasConstant * kelvin / (sweptM3 * rpm) / 1000;
  };
  auto rpmFor = [&](double airKgh) {
    double rpm = kIdleRpm;
    for (int gear = 4; gear >= 0; --gear) {
      const double fromSpeed = drive.speedKmh / kKmhPer1000Rpm[gear] * 1000;
      if (gear > 0 && (fromSpeed < 1400 || mapAt(airKgh, fromSpeed) > kShiftMapKpa)) continue;
      rpm = std::max(fromSpeed, kIdleRpm);
      // Pulling away the clutch slips until the engine breathes what it is asked to.
      if (gear == 0)
        rpm = std::max(
            rpm, airKgh / 3600 * 120 * kGasConstant * kelvin / (sweptM3 * kShiftMapKpa * 1000));
      break;
    }
    return std::min(rpm, kMaxRpm);
  };

  const double fuelKgh = drive.fuelLh * config_.fuelDensityKgPerL;
  if (cut) {
    e.airKgh = drive.airKgh;
    e.fuelStatus = 4;
  } else {
    const double stoichAir = fuelKgh * config_.stoichAfr;
    const bool fullLoad = mapAt(stoichAir, rpmFor(stoichAir)) > kFullLoadMapKpa;
    e.lambda = fullLoad ? kFullLoadLambda : cold ? kColdLambda : 1.0;
    e.fuelStatus = fullLoad ? 4 : cold ? 1 : 2;
    e.airKgh = fuelKgh * config_.stoichAfr * e.lambda;
  }
  e.rpm = rpmFor(e.airKgh);
  e.mapKpa = mapAt(e.airKgh, e.rpm);
  if (e.fuelStatus == 2) e.shortTrimPercent = 3 * std::sin(elapsed * 2 * std::numbers::pi / 2.3);
  if (!cut && drive.speedKmh >= 1) {
    // Never under 3 % while driving on fuel: a closed throttle at speed means the cut.
    const double opening = std::clamp((e.mapKpa - 25) / 70, 0.0, 1.0);
    e.throttlePercent = std::max(3.0, 100 * opening * opening);
  }
  return e;
}

void ObdCar::AppendPid(uint8_t pid, const ObdEngineState& e, std::vector<uint8_t>& out) const {
  auto two = [&](uint16_t counts) {
    out.push_back(static_cast<uint8_t>(counts >> 8));
    out.push_back(static_cast<uint8_t>(counts & 0xFF));
  };
  auto trim = [](double percent) {
    return static_cast<uint8_t>(Counts(percent * 1.28 + 128, 255));
  };
  out.push_back(pid);
  switch (pid) {
    case 0x00:
    case 0x20:
    case 0x40: {
      uint32_t bits = 0;
      for (int i = 1; i <= 32; ++i) {
        if (Supports(static_cast<uint8_t>(pid + i))) bits |= 1u << (32 - i);
      }
      for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(bits >> shift));
      return;
    }
    case 0x01: {
      // The lamp is lit by stored codes; tests complete, none of them failed but these.
      const auto stored = std::count_if(codes_.begin(), codes_.end(),
                                        [](const SimTroubleCode& c) { return !c.pending; });
      out.insert(out.end(),
                 {static_cast<uint8_t>((stored ? 0x80 : 0) | std::min<long>(stored, 127)), 0x07,
                  0xE5, 0x00});
      return;
    }
    case 0x03:
      out.insert(out.end(), {e.fuelStatus, 0});
      return;
    case 0x06:
      out.push_back(trim(e.shortTrimPercent));
      return;
    case 0x07:
      out.push_back(trim(e.longTrimPercent));
      return;
    case 0x0B:
      out.push_back(static_cast<uint8_t>(Counts(e.mapKpa, 255)));
      return;
    case 0x0C:
      return two(Counts(e.rpm * 4));
    case 0x0D:
      out.push_back(static_cast<uint8_t>(Counts(e.speedKmh, 255)));
      return;
    case 0x0F:
      out.push_back(static_cast<uint8_t>(Counts(e.intakeC + 40, 255)));
      return;
    case 0x10:
      return two(Counts(e.airKgh / 3.6 * 100));
    case 0x11:
      out.push_back(static_cast<uint8_t>(Counts(e.throttlePercent * 2.55, 255)));
      return;
    case 0x44:
      return two(Counts(e.lambda * 32768));
    case 0x51:
      out.push_back(1);  // petrol
      return;
    case 0x5E:
      return two(Counts(e.fuelLh * 20));
    default:
      return;
  }
}

std::vector<std::vector<uint8_t>> ObdCar::Vin() const {
  std::string vin = config_.vin;
  vin.resize(17, '0');
  if (config_.bus == ObdBus::Can11At500) {
    std::vector<uint8_t> message{0x49, 0x02, 0x01};
    message.insert(message.end(), vin.begin(), vin.end());
    return {message};
  }
  // Five messages of four bytes, the first filled up with zeros in front.
  const std::string padded = std::string(3, '\0') + vin;
  std::vector<std::vector<uint8_t>> messages;
  for (uint8_t n = 1; n <= 5; ++n) {
    std::vector<uint8_t> message{0x49, 0x02, n};
    message.insert(message.end(), padded.begin() + 4 * (n - 1), padded.begin() + 4 * n);
    messages.push_back(std::move(message));
  }
  return messages;
}

std::vector<std::vector<uint8_t>> ObdCar::Codes(bool pending) const {
  const uint8_t service = pending ? 0x47 : 0x43;
  std::vector<uint16_t> codes;
  for (const SimTroubleCode& c : codes_)
    if (c.pending == pending) codes.push_back(c.code);
  const auto put = [](std::vector<uint8_t>& message, uint16_t code) {
    message.insert(message.end(), {static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)});
  };
  if (config_.bus == ObdBus::Can11At500) {
    std::vector<uint8_t> message{service,
                                 static_cast<uint8_t>(std::min<size_t>(codes.size(), 100))};
    for (size_t i = 0; i < message[1]; ++i)
      put(message, codes[i]);
    return {message};
  }
  // Three codes a frame, the last one filled up with 00 00; a frame even for none.
  std::vector<std::vector<uint8_t>> messages;
  for (size_t i = 0; i < codes.size() || messages.empty(); i += 3) {
    std::vector<uint8_t> message{service};
    for (size_t j = i; j < i + 3; ++j)
      put(message, j < codes.size() ? codes[j] : 0);
    messages.push_back(std::move(message));
  }
  return messages;
}

std::vector<std::vector<uint8_t>> ObdCar::Answer(const std::vector<uint8_t>& request, SimTime now) {
  if (request.size() == 1 && (request[0] == 0x03 || request[0] == 0x07)) {
    return Codes(request[0] == 0x07);
  }
  if (request.size() == 1 && request[0] == 0x04) {
    codes_.clear();
    return {{0x44}};
  }
  if (request.size() < 2) return {};
  if (request[0] == 0x09 && request.size() == 2) {
    if (request[1] == 0x02) return Vin();
    if (request[1] == 0x00) return {{0x49, 0x00, 0x40, 0x00, 0x00, 0x00}};
    return {};
  }
  if (request[0] != 0x01 || request.size() > 7) return {};
  std::vector<uint8_t> pids(request.begin() + 1, request.end());
  if (config_.bus != ObdBus::Can11At500) pids.resize(1);
  // The unit answers in an order of its own, not always the one asked.
  std::rotate(pids.begin(), pids.begin() + static_cast<ptrdiff_t>(served_.size() % pids.size()),
              pids.end());
  const ObdEngineState engine = EngineAt(now);
  std::vector<uint8_t> message{0x41};
  for (uint8_t pid : pids) {
    if (Supports(pid)) AppendPid(pid, engine, message);
  }
  if (message.size() == 1) return {};
  served_.push_back({now, ecu_.profileStartSeconds + ElapsedSeconds(now), engine.speedKmh,
                     engine.fuelLh, engine.airKgh, engine.fuelStatus});
  return {message};
}

}  // namespace drunvale::sim
