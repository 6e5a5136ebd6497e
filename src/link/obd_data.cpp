// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/obd_data.h"

#include <algorithm>
#include <map>

namespace drunvale {
namespace {

constexpr uint8_t kMode01Answer = 0x41;
constexpr uint8_t kMode09Answer = 0x49;
constexpr uint8_t kVinPid = 0x02;
constexpr size_t kVinLength = 17;
constexpr int kClosedLoop = 2;
constexpr int kOpenLoopLoadOrCut = 4;
// Standing with the throttle shut is idling, not a cut.
constexpr double kCutMinSpeedKmh = 5;
constexpr double kGasConstantAir = 287.05;  // J/(kg K)

double Word(const uint8_t* d) {
  return 256.0 * d[0] + d[1];
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A CAN line with an 11-bit id: three digits of id, then whole bytes ("7E8 06 41 0D ..."), which
// the answer parser keeps as a status for its odd count of digits.
std::optional<std::vector<uint8_t>> Can11Line(std::string_view line, uint32_t& id) {
  std::string digits;
  for (char c : line) {
    if (c == ' ') continue;
    if (HexDigit(c) < 0) return std::nullopt;
    digits += c;
  }
  if (digits.size() < 5 || digits.size() % 2 == 0) return std::nullopt;
  id = static_cast<uint32_t>(HexDigit(digits[0]) << 8 | HexDigit(digits[1]) << 4 |
                             HexDigit(digits[2]));
  std::vector<uint8_t> bytes;
  for (size_t i = 3; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(HexDigit(digits[i]) << 4 | HexDigit(digits[i + 1])));
  return bytes;
}

// ISO-TP reassembly, one sender at a time.
class CanMessages {
 public:
  void Frame(uint32_t id, const std::vector<uint8_t>& frame, std::vector<ObdMessage>& out) {
    if (frame.empty()) return;
    const int type = frame[0] >> 4;
    if (type == 0) {
      const size_t length = frame[0] & 0x0F;
      if (length == 0 || length + 1 > frame.size()) return;
      out.push_back({id, {frame.begin() + 1, frame.begin() + 1 + static_cast<long>(length)}});
    } else if (type == 1 && frame.size() >= 2) {
      Pending& p = pending_[id];
      p.length = static_cast<size_t>((frame[0] & 0x0F) << 8 | frame[1]);
      p.bytes.assign(frame.begin() + 2, frame.end());
      p.next = 1;
    } else if (type == 2) {
      const auto found = pending_.find(id);
      if (found == pending_.end()) return;
      Pending& p = found->second;
      // A frame lost or out of order spoils the whole message.
      if ((frame[0] & 0x0F) != p.next) {
        pending_.erase(found);
        return;
      }
      p.next = (p.next + 1) & 0x0F;
      p.bytes.insert(p.bytes.end(), frame.begin() + 1, frame.end());
      if (p.bytes.size() >= p.length) {
        p.bytes.resize(p.length);
        out.push_back({id, std::move(p.bytes)});
        pending_.erase(found);
      }
    }
  }

 private:
  struct Pending {
    size_t length = 0;
    std::vector<uint8_t> bytes;
    int next = 1;
  };
  std::map<uint32_t, Pending> pending_;
};

// J1850 ends its frames with a CRC the chip has checked already; K-line with a sum to check.
void KLineMessages(const ElmAnswer& answer, bool summed, std::vector<ObdMessage>& out) {
  for (const std::vector<uint8_t>& frame : answer.data) {
    // Priority or format, target, source; a 14230 format byte without its length bits has the
    // length in a fourth header byte.
    const size_t header = frame.size() > 3 && (frame[0] & 0x3F) == 0 ? 4 : 3;
    if (frame.size() < header + 2) continue;
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < frame.size(); ++i)
      sum = static_cast<uint8_t>(sum + frame[i]);
    if (summed && sum != frame.back()) continue;
    out.push_back({frame[2], {frame.begin() + static_cast<long>(header), frame.end() - 1}});
  }
}

}  // namespace

size_t PidDataLength(uint8_t p) {
  switch (p) {
    case pid::kSupported00:
    case pid::kSupported20:
    case pid::kSupported40:
      return 4;
    case pid::kFuelSystem:
    case pid::kEngineSpeed:
    case pid::kAirFlow:
    case pid::kEquivalenceRatio:
    case pid::kFuelRate:
      return 2;
    case pid::kManifoldPressure:
    case pid::kVehicleSpeed:
    case pid::kIntakeTemperature:
    case pid::kThrottle:
    case pid::kFuelType:
      return 1;
    default:
      return 0;
  }
}

bool DecodeMode01(const std::vector<uint8_t>& payload, ObdReadings& r) {
  if (payload.size() < 2 || payload[0] != kMode01Answer) return false;
  size_t at = 1;
  while (at < payload.size()) {
    const uint8_t p = payload[at];
    const size_t length = PidDataLength(p);
    if (length == 0) return at > 1;  // what came before it stands
    if (at + 1 + length > payload.size()) return false;
    const uint8_t* d = payload.data() + at + 1;
    switch (p) {
      case pid::kFuelSystem:
        r.fuelSystem = d[0];
        break;
      case pid::kManifoldPressure:
        r.manifoldKpa = d[0];
        break;
      case pid::kEngineSpeed:
        r.rpm = Word(d) / 4;
        break;
      case pid::kVehicleSpeed:
        r.speedKmh = d[0];
        break;
      case pid::kIntakeTemperature:
        r.intakeC = d[0] - 40.0;
        break;
      case pid::kAirFlow:
        r.airGs = Word(d) / 100;
        break;
      case pid::kThrottle:
        r.throttlePercent = d[0] * 100.0 / 255;
        break;
      case pid::kEquivalenceRatio:
        r.equivalenceRatio = Word(d) * 2 / 65536;
        break;
      case pid::kFuelType:
        r.fuelType = d[0];
        break;
      case pid::kFuelRate:
        r.fuelRateLh = Word(d) / 20;
        break;
      default:
        break;  // a bitmap: SupportedPids reads those
    }
    at += 1 + length;
  }
  return true;
}

void SupportedPids::Add(uint8_t base, const std::vector<uint8_t>& bitmap) {
  for (size_t i = 0; i < 32 && i / 8 < bitmap.size(); ++i) {
    if (bitmap[i / 8] & (0x80 >> (i % 8))) bits_[base + 1 + i] = true;
  }
}

ObdBus BusOfProtocol(int protocol) {
  switch (protocol) {
    case 6:
    case 8:
      return ObdBus::Can11;
    case 7:
    case 9:
      return ObdBus::Can29;
    case 3:
    case 4:
    case 5:
      return ObdBus::KLine;
    default:
      return ObdBus::Other;
  }
}

std::vector<ObdMessage> ObdMessages(const ElmAnswer& answer, ObdBus bus) {
  std::vector<ObdMessage> out;
  CanMessages can;
  switch (bus) {
    case ObdBus::Can11:
      for (const std::string& line : answer.statuses) {
        uint32_t id = 0;
        if (const auto frame = Can11Line(line, id)) can.Frame(id, *frame, out);
      }
      break;
    case ObdBus::Can29:
      for (const std::vector<uint8_t>& line : answer.data) {
        if (line.size() < 5) continue;
        const uint32_t id =
            static_cast<uint32_t>(line[0] << 24 | line[1] << 16 | line[2] << 8 | line[3]);
        can.Frame(id, {line.begin() + 4, line.end()}, out);
      }
      break;
    case ObdBus::KLine:
      KLineMessages(answer, true, out);
      break;
    case ObdBus::Other:
      KLineMessages(answer, false, out);
      break;
  }
  return out;
}

std::string DecodeVin(const std::vector<ObdMessage>& messages) {
  std::map<uint8_t, std::vector<uint8_t>> parts;
  for (const ObdMessage& m : messages) {
    const std::vector<uint8_t>& p = m.payload;
    if (p.size() < 3 || p[0] != kMode09Answer || p[1] != kVinPid) continue;
    // Most units give a count or sequence byte first; a few old CAN ones give the text alone.
    const bool counted = p.size() != 2 + kVinLength;
    parts[counted ? p[2] : 1].assign(p.begin() + (counted ? 3 : 2), p.end());
  }
  std::string vin;
  for (const auto& [index, bytes] : parts)
    for (uint8_t b : bytes)
      if (b != 0) vin += static_cast<char>(b);
  const bool printable = std::all_of(vin.begin(), vin.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
  });
  return vin.size() == kVinLength && printable ? vin : std::string();
}

FuelSource BestFuelSource(const SupportedPids& s, double displacementL) {
  if (s.Has(pid::kFuelRate)) return FuelSource::FuelRate;
  if (s.Has(pid::kAirFlow)) return FuelSource::AirFlow;
  if (s.Has(pid::kManifoldPressure) && s.Has(pid::kEngineSpeed) && s.Has(pid::kIntakeTemperature) &&
      displacementL > 0) {
    return FuelSource::SpeedDensity;
  }
  return FuelSource::None;
}

ObdEstimate EstimateFuel(const ObdReadings& r, FuelSource source, const FuelProperties& fuel,
                         double closedThrottlePercent) {
  ObdEstimate e;
  const double densityGL = fuel.densityKgL * 1000;
  if (source == FuelSource::FuelRate) {
    e.fuelLh = r.fuelRateLh.value_or(0);
    e.airKgH = r.airGs ? *r.airGs * 3.6 : e.fuelLh * fuel.densityKgL * fuel.stoichiometricAfr;
    return e;
  }
  double airGs = 0;
  if (source == FuelSource::AirFlow) {
    airGs = r.airGs.value_or(0);
  } else if (source == FuelSource::SpeedDensity && r.manifoldKpa && r.rpm && r.intakeC) {
    // Ideal gas in the cylinders: one filling of the displacement every two turns.
    const double cubicMetresPerS =
        fuel.displacementL / 1000 * fuel.volumetricEfficiency * *r.rpm / 120;
    airGs =
        *r.manifoldKpa * 1000 * cubicMetresPerS / (kGasConstantAir * (*r.intakeC + 273.15)) * 1000;
  }
  e.airKgH = airGs * 3.6;
  e.fuelCut = r.fuelSystem == kOpenLoopLoadOrCut && r.throttlePercent &&
              *r.throttlePercent <= closedThrottlePercent && r.speedKmh &&
              *r.speedKmh >= kCutMinSpeedKmh;
  if (e.fuelCut || r.rpm == 0.0) return e;
  // Closed loop holds the mixture at stoichiometric; otherwise the commanded ratio counts. It
  // is lambda, the commanded air-fuel ratio over the stoichiometric one: below 1 is rich.
  double lambda = 1;
  if (r.fuelSystem != kClosedLoop && r.equivalenceRatio && *r.equivalenceRatio > 0) {
    lambda = *r.equivalenceRatio;
  }
  e.fuelLh = airGs / (fuel.stoichiometricAfr * lambda) * 3600 / densityGL;
  return e;
}

}  // namespace drunvale
