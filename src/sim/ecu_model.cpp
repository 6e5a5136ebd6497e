// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_model.h"

#include <utility>

#include "sim/ecu_blocks.h"

namespace drunvale::sim {
namespace {

constexpr uint8_t kNegative = 0x7F;
constexpr uint8_t kServiceNotSupported = 0x11;
constexpr uint8_t kSubFunctionNotSupported = 0x12;
constexpr uint8_t kBusyRepeatRequest = 0x21;

}  // namespace

EcuModel::EcuModel(const EcuSimConfig& config, SimTime start)
    : config_(config), start_(start), lastHeard_(start), keyBytes_(config.keyBytes) {
  codes_ = config.troubleCodes;
}

void EcuModel::SetStart(SimTime start) {
  start_ = start;
  lastHeard_ = start;
}

double EcuModel::ProfileSeconds(SimTime now) const {
  std::chrono::duration<double> elapsed = now - start_;
  return config_.profileStartSeconds + elapsed.count() * config_.profileSpeedup;
}

void EcuModel::SetIgnitionOff(SimTime now, std::optional<std::chrono::milliseconds> duration) {
  ignitionOff_ = true;
  ++powerCycle_;
  ignitionOnAt_.reset();
  if (duration) ignitionOnAt_ = now + *duration;
  // A control unit without power forgets its session and wakes up at the default rate.
  lineRate_ = kDefaultLineRate;
}

void EcuModel::SetIgnitionOn() {
  ignitionOff_ = false;
  ignitionOnAt_.reset();
}

void EcuModel::InjectGarbage(std::vector<uint8_t> bytes, int responses) {
  garbage_ = std::move(bytes);
  garbageLeft_ = garbage_.empty() ? 0 : responses;
}

void EcuModel::SwitchLineRate(uint32_t rate, SimTime now) {
  lineRate_ = rate;
  lastHeard_ = now;
}

void EcuModel::Advance(SimTime now) {
  if (ignitionOff_ && ignitionOnAt_ && now >= *ignitionOnAt_) SetIgnitionOn();
  if (config_.sessionTimeout.count() > 0 && lineRate_ != kDefaultLineRate &&
      now - lastHeard_ >= config_.sessionTimeout) {
    lineRate_ = kDefaultLineRate;
  }
}

std::optional<SimTime> EcuModel::NextDeadline() const {
  std::optional<SimTime> next;
  if (ignitionOff_ && ignitionOnAt_) next = *ignitionOnAt_;
  if (config_.sessionTimeout.count() > 0 && lineRate_ != kDefaultLineRate) {
    SimTime idle = lastHeard_ + config_.sessionTimeout;
    if (!next || idle < *next) next = idle;
  }
  return next;
}

EcuModel::Answer EcuModel::Negative(uint8_t sid, uint8_t code) {
  return Answer{{kNegative, sid, code}, std::nullopt, std::nullopt};
}

EcuModel::Answer EcuModel::Dispatch(const std::vector<uint8_t>& request, SimTime now) {
  uint8_t sid = request[0];
  size_t n = request.size();
  switch (sid) {
    case 0x81:  // StartCommunication
      if (n != 1) return Negative(sid, kSubFunctionNotSupported);
      return Answer{{0xC1, keyBytes_[0], keyBytes_[1]}, std::nullopt, std::nullopt};
    case 0x82:  // StopCommunication: the session ends, back to the wake-up rate
      if (n != 1) return Negative(sid, kSubFunctionNotSupported);
      return Answer{{0xC2}, kDefaultLineRate, std::nullopt};
    case 0x20:  // StopDiagnosticSession
      if (n != 1) return Negative(sid, kSubFunctionNotSupported);
      return Answer{{0x60}, kDefaultLineRate, std::nullopt};
    case 0x10: {  // StartDiagnosticSession, mode 0x81 with an optional rate code
      if (n < 2 || n > 3 || request[1] != 0x81) return Negative(sid, kSubFunctionNotSupported);
      std::optional<uint32_t> rate;
      if (n == 3) {
        if (request[2] == 0x26) {
          rate = 38400;
        } else if (request[2] == 0x39) {
          rate = 57600;
        } else {
          return Negative(sid, kSubFunctionNotSupported);
        }
      }
      return Answer{{0x50, 0x81}, rate, std::nullopt};
    }
    case 0x1A: {  // ReadEcuIdentification
      if (n != 2 || request[1] != 0x80) return Negative(sid, kSubFunctionNotSupported);
      std::vector<uint8_t> data{0x5A};
      std::vector<uint8_t> block = BuildIdentificationBlock(config_.identity);
      data.insert(data.end(), block.begin(), block.end());
      return Answer{std::move(data), std::nullopt, std::nullopt};
    }
    case 0x21: {  // ReadDataByLocalIdentifier
      if (n != 2 || request[1] != 0x01) return Negative(sid, kSubFunctionNotSupported);
      DriveState state = profile_.At(ProfileSeconds(now));
      if (engineStopped_) state = DriveState{0, 0, 0, false};
      LiveFields fields = EncodeLiveFields(state);
      std::vector<uint8_t> data{0x61};
      std::vector<uint8_t> block = BuildLiveDataBlock(fields);
      data.insert(data.end(), block.begin(), block.end());
      return Answer{std::move(data), std::nullopt, fields};
    }
    case 0x18: {  // ReadDiagnosticTroubleCodesByStatus: any status, all groups
      if (n != 4 || request[1] != 0x00 || request[2] != 0xFF || request[3] != 0x00) {
        return Negative(sid, kSubFunctionNotSupported);
      }
      std::vector<uint8_t> data{0x58, 0};
      for (const SimTroubleCode& c : codes_) {
        if (data[1] == 80) break;  // as many as a frame holds
        // Stored: present, the lamp asked for; pending: seen, not yet stored, no lamp.
        data.insert(data.end(),
                    {static_cast<uint8_t>(c.code >> 8), static_cast<uint8_t>(c.code & 0xFF),
                     static_cast<uint8_t>(c.pending ? 0x40 : 0xE0)});
        ++data[1];
      }
      return Answer{std::move(data), std::nullopt, std::nullopt};
    }
    case 0x14:  // ClearDiagnosticInformation, all groups
      if (n != 3 || request[1] != 0xFF || request[2] != 0x00) {
        return Negative(sid, kSubFunctionNotSupported);
      }
      codes_.clear();
      return Answer{{0x54, 0xFF, 0x00}, std::nullopt, std::nullopt};
    default:
      return Negative(sid, kServiceNotSupported);
  }
}

EcuReaction EcuModel::Receive(const ReceivedFrame& frame, uint32_t testerRate, SimTime now) {
  Advance(now);
  EcuReaction reaction;
  RequestRecord& record = reaction.record;
  record.at = now;
  record.frame = frame.bytes;
  record.data = frame.data;
  record.testerRate = testerRate;
  record.ecuRate = lineRate_;

  if (ignitionOff_) {
    record.outcome = RequestOutcome::IgnitionOff;
    return reaction;
  }
  if (config_.enforceLineRate && testerRate != 0 && testerRate != lineRate_) {
    record.outcome = RequestOutcome::WrongLineRate;
    return reaction;
  }
  if (!frame.Usable()) {
    record.outcome = RequestOutcome::Malformed;
    return reaction;
  }
  lastHeard_ = now;
  ++understood_;

  uint8_t sid = frame.data[0];
  bool periodicBusy = config_.busyEvery > 0 && understood_ % config_.busyEvery == 0;
  Answer answer;
  if (busyLeft_ > 0 || periodicBusy) {
    if (busyLeft_ > 0) --busyLeft_;
    answer = Negative(sid, kBusyRepeatRequest);
  } else {
    answer = Dispatch(frame.data, now);
  }
  if (answer.data[0] == kNegative) {
    record.outcome = RequestOutcome::Negative;
    record.negativeCode = answer.data[2];
  } else {
    record.outcome = RequestOutcome::Positive;
  }

  std::vector<uint8_t> response = BuildFrame(kTesterAddress, kEcuAddress, answer.data);
  bool intact = true;
  if (corruptLeft_ > 0) {
    --corruptLeft_;
    response.back() = static_cast<uint8_t>(response.back() + 1);
    intact = false;
  }
  if (garbageLeft_ > 0) {
    --garbageLeft_;
    reaction.transmit = garbage_;
    intact = false;
  }
  reaction.transmit.insert(reaction.transmit.end(), response.begin(), response.end());
  reaction.rateAfter = answer.rateAfter;

  if (answer.live) {
    ServedSample sample;
    sample.requestAt = now;
    sample.intact = intact;
    sample.profileSeconds = ProfileSeconds(now);
    sample.status = answer.live->status;
    sample.speedByte = answer.live->speedByte;
    sample.airRaw = answer.live->airRaw;
    sample.fuelRaw = answer.live->fuelRaw;
    sample.speed = static_cast<float>(sample.speedByte);
    sample.air = DecodeAir(sample.airRaw);
    sample.fuel = DecodeFuel(sample.fuelRaw);
    sample.running = (sample.status & 0x01) == 0;
    reaction.sample = sample;
  }
  return reaction;
}

}  // namespace drunvale::sim
