// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/obd_session.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "link/ecu_session.h"

namespace drunvale {
namespace {

constexpr uint8_t kMode01Answer = 0x41;
constexpr uint8_t kStoredCodesAnswer = 0x43;
constexpr uint8_t kClearAnswer = 0x44;
constexpr uint8_t kPendingCodesAnswer = 0x47;
constexpr uint32_t kKLineEngine = 0x10;
constexpr uint32_t kCanEngine = 0x7E8;
// A throttle this close to the lowest seen is closed; the lowest counts only below this, so a
// session that begins on the move does not take a part-open throttle for the closed one.
constexpr double kClosedMarginPercent = 1.5;
constexpr double kClosedAtMostPercent = 20;

std::string Hex2(uint32_t value) {
  const auto byte = static_cast<uint8_t>(value);
  return ElmHex(&byte, 1);
}

std::string ProtocolName(int protocol) {
  static constexpr std::array<const char*, 13> kNames = {"",
                                                         "SAE J1850 PWM",
                                                         "SAE J1850 VPW",
                                                         "ISO 9141-2",
                                                         "ISO 14230-4 (KWP 5BAUD)",
                                                         "ISO 14230-4 (KWP FAST)",
                                                         "ISO 15765-4 (CAN 11/500)",
                                                         "ISO 15765-4 (CAN 29/500)",
                                                         "ISO 15765-4 (CAN 11/250)",
                                                         "ISO 15765-4 (CAN 29/250)",
                                                         "SAE J1939 (CAN 29/250)",
                                                         "USER1 CAN",
                                                         "USER2 CAN"};
  return protocol > 0 && protocol < static_cast<int>(kNames.size()) ? kNames[protocol]
                                                                    : "протокол не назван";
}

// The bus's own rate for the summary.
uint32_t BusRate(int protocol) {
  switch (protocol) {
    case 1:
      return 41600;
    case 6:
    case 7:
      return 500000;
    case 8:
    case 9:
    case 10:
      return 250000;
    default:
      return 10400;
  }
}

const char* SourceText(FuelSource source) {
  switch (source) {
    case FuelSource::FuelRate:
      return "по расходу от двигателя";
    case FuelSource::AirFlow:
      return "по расходу воздуха";
    case FuelSource::SpeedDensity:
      return "по давлению во впуске";
    case FuelSource::None:
      break;
  }
  return "";
}

// The PIDs every poll asks for, and those that take turns on K-line.
struct PollPlan {
  std::vector<uint8_t> each;
  std::vector<uint8_t> turns;
};

PollPlan PlanFor(FuelSource source) {
  switch (source) {
    case FuelSource::FuelRate:
      return {{pid::kFuelRate, pid::kVehicleSpeed}, {pid::kEngineSpeed, pid::kAirFlow}};
    case FuelSource::AirFlow:
      return {{pid::kAirFlow, pid::kVehicleSpeed},
              {pid::kFuelSystem, pid::kThrottle, pid::kEngineSpeed, pid::kEquivalenceRatio}};
    case FuelSource::SpeedDensity:
      return {{pid::kManifoldPressure, pid::kEngineSpeed, pid::kVehicleSpeed},
              {pid::kIntakeTemperature, pid::kFuelSystem, pid::kThrottle, pid::kEquivalenceRatio}};
    case FuelSource::None:
      break;
  }
  return {};
}

}  // namespace

ObdSession::ObdSession(ElmAdapter& elm, KwpExchange& counters, StopEvent& stop,
                       WorkerOutlets& outlets, std::function<bool()> wokeUp)
    : elm_(elm), counters_(counters), stop_(stop), outlets_(outlets), wokeUp_(std::move(wokeUp)) {}

ExchangeResult ObdSession::Run(const FuelProperties& fuel) {
  outlets_.PollingPaused();
  contacted_ = false;
  failures_ = 0;
  readings_ = {};
  lowestThrottle_ = 100;
  turn_ = 0;
  supported_ = {};
  outlets_.ShowStatus("Попытка установить контакт с контроллером...");
  ExchangeResult result = Contact();
  if (result == ExchangeResult::Ok) result = Identify(fuel);
  while (result == ExchangeResult::Ok) {
    const CodesMailbox::Ask ask = codes_ ? codes_->Take() : CodesMailbox::Ask::None;
    result = ask == CodesMailbox::Ask::None ? Poll(fuel) : ServeCodes(ask);
  }
  outlets_.PollingPaused();
  if (result != ExchangeResult::PortError && result != ExchangeResult::Woken) elm_.Finish();
  return result;
}

ExchangeResult ObdSession::Failed(AdapterStep step) {
  return ResultOfStep(step);
}

ExchangeResult ObdSession::Contact() {
  // The first request opens the bus, after a search when no protocol is set.
  ElmAdapter::Asked first = elm_.Ask("0100", 0, kSearchWaitMs);
  if (first.step != AdapterStep::Ok) return Failed(first.step);
  protocol_ = elm_.DescribeProtocol();

  bus_ = BusOfProtocol(protocol_);
  const std::vector<ObdMessage> messages = ObdMessages(first.answer, bus_);
  std::vector<ObdMessage> bitmaps;
  for (const ObdMessage& m : messages) {
    if (m.payload.size() >= 6 && m.payload[0] == kMode01Answer && m.payload[1] == 0x00) {
      bitmaps.push_back(m);
    }
  }
  if (bitmaps.empty()) return ExchangeResult::NoAnswer;
  TakeEngineUnit(bitmaps);
  units_ = static_cast<int>(bitmaps.size());
  for (const ObdMessage& m : bitmaps) {
    if (m.source == engine_) supported_.Add(0x00, {m.payload.begin() + 2, m.payload.end()});
  }
  contacted_ = true;
  counters_.SetErrorCount(0);
  counters_.SetLineRate(BusRate(protocol_));
  // On CAN the engine's unit is asked alone, so the chip need wait for no other answer.
  if (bus_ == ObdBus::Can11 && engine_ >= 0x7E8 && engine_ <= 0x7EF) {
    const std::string header = "ATSH7" + Hex2(engine_ - 8 - 0x700);
    const ElmAdapter::Asked set = elm_.Ask(header, 0, ElmAdapter::kCommandWaitMs);
    if (set.step == AdapterStep::PortFailed) return ExchangeResult::PortError;
    if (set.step == AdapterStep::Ok && set.answer.Ok()) units_ = 1;
  }
  for (const uint8_t base : {pid::kSupported20, pid::kSupported40}) {
    if (!supported_.Has(base)) continue;
    std::vector<ObdMessage> more;
    const ExchangeResult r = Request("01" + Hex2(base), kRequestWaitMs, more);
    if (r != ExchangeResult::Ok) return r;
    for (const ObdMessage& m : more) {
      if (m.payload.size() >= 6 && m.payload[0] == kMode01Answer && m.payload[1] == base) {
        supported_.Add(base, {m.payload.begin() + 2, m.payload.end()});
      }
    }
  }
  return ExchangeResult::Ok;
}

void ObdSession::TakeEngineUnit(const std::vector<ObdMessage>& messages) {
  const uint32_t preferred = bus_ == ObdBus::Can11 ? kCanEngine : kKLineEngine;
  engine_ = messages.front().source;
  for (const ObdMessage& m : messages) {
    if (m.source == preferred) {
      engine_ = preferred;
      return;
    }
    engine_ = std::min(engine_, m.source);
  }
}

ExchangeResult ObdSession::Identify(const FuelProperties& fuel) {
  std::vector<ObdMessage> vinMessages;
  // A car without the VIN says NO DATA; the identification does without it.
  // On K-line the VIN comes in five messages: the chip must wait for all of them.
  const bool can = bus_ == ObdBus::Can11 || bus_ == ObdBus::Can29;
  const ExchangeResult r = Request("0902", kRequestWaitMs, vinMessages, can ? -1 : 0);
  if (r != ExchangeResult::Ok) return r;
  const std::string vin = DecodeVin(vinMessages);
  source_ = BestFuelSource(supported_, fuel.displacementL);
  if (source_ == FuelSource::None) {
    const bool pressure = supported_.Has(pid::kManifoldPressure) &&
                          supported_.Has(pid::kEngineSpeed) &&
                          supported_.Has(pid::kIntakeTemperature);
    outlets_.ShowCause(
        pressure ? "Автомобиль не сообщает расход воздуха: чтобы считать расход по давлению во "
                   "впуске, укажите в настройках объём двигателя."
                 : "Автомобиль не сообщает ни расхода топлива, ни расхода воздуха, ни давления "
                   "во впуске: расход по его данным не определить.");
    return ExchangeResult::NoAnswer;
  }
  // The check-engine lamp, where the car tells it.
  CodesReport lamp;
  if (supported_.Has(0x01)) {
    std::vector<ObdMessage> status;
    if (const ExchangeResult s = Request("0101", kRequestWaitMs, status); s != ExchangeResult::Ok) {
      return s;
    }
    for (const ObdMessage& m : status)
      if (m.payload.size() >= 3 && m.payload[0] == kMode01Answer && m.payload[1] == 0x01)
        TakeLampByte(m.payload[2], lamp);
  }
  // The source first: a narrow status line still shows it.
  identity_ = "OBD-II, топливо ";
  identity_ += SourceText(source_);
  identity_ += "; " + ProtocolName(protocol_);
  if (!vin.empty()) identity_ += ", VIN " + vin;
  ShowIdentity(lamp);
  return ExchangeResult::Ok;
}

void ObdSession::ShowIdentity(const CodesReport& lamp) {
  std::string line = identity_;
  if (lamp.lampOn.value_or(false)) {
    line +=
        "; горит лампа неисправности (кодов: " + std::to_string(lamp.lampCount.value_or(0)) + ")";
  }
  outlets_.ShowStatus(line + ".");
}

std::vector<uint8_t> ObdSession::PollPids() const {
  const PollPlan plan = PlanFor(source_);
  std::vector<uint8_t> pids;
  const auto take = [&](uint8_t p) {
    if (supported_.Has(p)) pids.push_back(p);
  };
  if (bus_ == ObdBus::Can11 || bus_ == ObdBus::Can29) {
    for (uint8_t p : plan.each)
      take(p);
    for (uint8_t p : plan.turns)
      if (pids.size() < kCanBatch) take(p);
    return pids;
  }
  // On K-line the next slow one the car has goes first, so the fast ones are freshest when
  // the sample is made.
  for (size_t i = 0; i < plan.turns.size(); ++i) {
    const uint8_t p = plan.turns[(turn_ + i) % plan.turns.size()];
    if (supported_.Has(p)) {
      pids.push_back(p);
      break;
    }
  }
  for (uint8_t p : plan.each)
    take(p);
  return pids;
}

ExchangeResult ObdSession::Request(std::string_view hex, uint32_t waitMs,
                                   std::vector<ObdMessage>& out, int answers) {
  out.clear();
  const ElmAdapter::Asked asked = elm_.Ask(hex, answers < 0 ? units_ : answers, waitMs);
  if (asked.step == AdapterStep::PortFailed || asked.step == AdapterStep::Stopped) {
    return Failed(asked.step);
  }
  if (asked.step != AdapterStep::Ok) return ExchangeResult::Ok;  // nothing came
  for (ObdMessage& m : ObdMessages(asked.answer, bus_))
    if (m.source == engine_) out.push_back(std::move(m));
  return ExchangeResult::Ok;
}

ExchangeResult ObdSession::ServeCodes(CodesMailbox::Ask ask) {
  const bool can = bus_ == ObdBus::Can11 || bus_ == ObdBus::Can29;
  CodesReport report;
  std::vector<ObdMessage> messages;
  // Every message the unit sends, however many frames: the count digit cannot know them.
  const auto request = [&](std::string_view hex) {
    const ExchangeResult r = Request(hex, kRequestWaitMs, messages, 0);
    if (r != ExchangeResult::Ok && codes_) codes_->PutBack(ask);
    return r;
  };
  if (ask == CodesMailbox::Ask::Clear) {
    if (const ExchangeResult r = request("04"); r != ExchangeResult::Ok) return r;
    const bool confirmed = std::any_of(messages.begin(), messages.end(), [](const ObdMessage& m) {
      return !m.payload.empty() && m.payload[0] == kClearAnswer;
    });
    report.outcome = confirmed ? CodesReport::Outcome::Cleared : CodesReport::Outcome::NotConfirmed;
    // The lamp went out with the codes.
    if (confirmed) ShowIdentity(report);
    outlets_.ReportCodes(report);
    return ExchangeResult::Ok;
  }
  if (const ExchangeResult r = request("0101"); r != ExchangeResult::Ok) return r;
  for (const ObdMessage& m : messages) {
    if (m.payload.size() >= 3 && m.payload[0] == kMode01Answer && m.payload[1] == 0x01) {
      TakeLampByte(m.payload[2], report);
    }
  }
  bool answered = false;
  for (const auto& [hex, answer, pending] :
       {std::tuple{"03", kStoredCodesAnswer, false}, std::tuple{"07", kPendingCodesAnswer, true}}) {
    if (const ExchangeResult r = request(hex); r != ExchangeResult::Ok) return r;
    for (const ObdMessage& m : messages) {
      if (m.payload.empty() || m.payload[0] != answer) continue;
      answered = answered || !pending;
      for (uint16_t code : DecodeObdCodes(m.payload, can))
        report.codes.push_back({code, pending});
    }
  }
  if (!answered) report.outcome = CodesReport::Outcome::NotOffered;
  if (report.lampOn) ShowIdentity(report);
  outlets_.ReportCodes(report);
  return ExchangeResult::Ok;
}

ExchangeResult ObdSession::Poll(const FuelProperties& fuel) {
  if (stop_.Wait(0) == WaitResult::Signalled) return ExchangeResult::Stopped;
  if (wokeUp_ && wokeUp_()) return ExchangeResult::Woken;
  const std::vector<uint8_t> pids = PollPids();
  const bool can = bus_ == ObdBus::Can11 || bus_ == ObdBus::Can29;
  bool answered = false;
  std::vector<ObdMessage> messages;
  // On CAN one request carries them all; on K-line each PID is a request of its own.
  for (size_t i = 0; i < pids.size(); i += can ? pids.size() : 1) {
    std::string request = "01";
    for (size_t j = i; j < (can ? pids.size() : i + 1); ++j)
      request += Hex2(pids[j]);
    const ExchangeResult r = Request(request, kRequestWaitMs, messages);
    if (r != ExchangeResult::Ok) return r;
    for (const ObdMessage& m : messages)
      answered = DecodeMode01(m.payload, readings_) || answered;
  }
  ++turn_;
  if (!answered) {
    counters_.CountFailedAttempt();
    return ++failures_ >= kAttempts ? ExchangeResult::NoAnswer : ExchangeResult::Ok;
  }
  failures_ = 0;
  if (readings_.throttlePercent && *readings_.throttlePercent < kClosedAtMostPercent) {
    lowestThrottle_ = std::min(lowestThrottle_, *readings_.throttlePercent);
  }
  const double closed = std::min(lowestThrottle_, kClosedAtMostPercent) + kClosedMarginPercent;
  const ObdEstimate estimate = EstimateFuel(readings_, source_, fuel, closed);
  // Without the engine speed the unit's own fuel or air still says whether it runs.
  const bool running = readings_.rpm ? *readings_.rpm > 0 : estimate.airKgH > 0;
  outlets_.AddSample(static_cast<float>(readings_.speedKmh.value_or(0)),
                     static_cast<float>(estimate.airKgH), static_cast<float>(estimate.fuelLh),
                     running);
  return ExchangeResult::Ok;
}

}  // namespace drunvale
