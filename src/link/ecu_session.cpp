// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ecu_session.h"

#include "link/ecu_blocks_decode.h"
#include "link/kwp_services.h"

namespace drunvale {

EcuSession::EcuSession(KwpExchange& exchange, StopEvent& stop, WorkerOutlets& outlets)
    : exchange_(exchange), stop_(stop), outlets_(outlets) {}

ExchangeResult EcuSession::RunSession(uint16_t requestedBaud) {
  // Whatever came before this session, nothing was measured in it: the first sample must not
  // be charged with it. Said here as well as at the end, since a worker that was given up on
  // never said it.
  outlets_.PollingPaused();
  contacted_ = false;
  // A session left open by an earlier run may still hold the control unit; the attempts this
  // costs are not the new connection's errors.
  // A chip that wakes the control unit itself was just reset, and holds no session.
  Adapter* adapter = exchange_.CurrentAdapter();
  if (adapter == nullptr || !adapter->MakesContactItself()) {
    exchange_.SetErrorCount(kUncountedErrors);
    const ExchangeResult closedOld = CloseSession();
    exchange_.SetErrorCount(0);
    if (closedOld == ExchangeResult::Woken) return closedOld;
  }

  const ExchangeResult contact = MakeContact();
  if (contact != ExchangeResult::Ok) return contact;

  ExchangeResult ended = SwitchBaudRate(requestedBaud);
  if (ended == ExchangeResult::Ok) ended = ReadIdentification();
  while (ended == ExchangeResult::Ok) {
    const CodesMailbox::Ask ask = codes_ ? codes_->Take() : CodesMailbox::Ask::None;
    ended = ask == CodesMailbox::Ask::None ? PollLiveData() : ServeCodes(ask);
  }
  // Nothing more is measured until the next session polls.
  outlets_.PollingPaused();
  // After a sleep the handle may be dead and the control unit may have dropped the session:
  // no closing requests here; the next session closes whatever is left before its contact.
  if (ended == ExchangeResult::Woken) return ended;
  const ExchangeResult closed = CloseSession();
  // A port that failed is lost, whatever the closing requests made of it afterwards.
  return ended == ExchangeResult::PortError ? ended : closed;
}

ExchangeResult EcuSession::CloseSession() {
  Adapter* adapter = exchange_.CurrentAdapter();
  if (exchange_.Exchange({kwp::kStopDiagnosticSession}) == ExchangeResult::Ok &&
      (adapter == nullptr || adapter->FollowsRateSwitch())) {
    exchange_.SetBaudRate(kWakeUpBaud);
  }
  const ExchangeResult closed = exchange_.Exchange({kwp::kStopCommunication});
  if (adapter != nullptr && closed != ExchangeResult::PortError) adapter->Finish();
  return closed;
}

ExchangeResult ResultOfStep(AdapterStep step) {
  switch (step) {
    case AdapterStep::Ok:
      return ExchangeResult::Ok;
    case AdapterStep::PortFailed:
      return ExchangeResult::PortError;
    case AdapterStep::Stopped:
      return ExchangeResult::Stopped;
    case AdapterStep::Silent:
    case AdapterStep::Unusable:
      break;
  }
  return ExchangeResult::NoAnswer;
}

ExchangeResult EcuSession::MakeContact() {
  ShowStatus("Попытка установить контакт с контроллером...");
  std::vector<uint8_t> key;
  Adapter* adapter = exchange_.CurrentAdapter();
  if (adapter != nullptr && adapter->MakesContactItself()) {
    const ExchangeResult r = ResultOfStep(adapter->MakeContact(key));
    if (r != ExchangeResult::Ok) return r;
    // Key bytes the adapter cannot show are no sign of a stranger.
    if (key.empty()) {
      contacted_ = true;
      return ExchangeResult::Ok;
    }
  } else {
    const ExchangeResult r = exchange_.Exchange({kwp::kStartCommunication});
    if (r != ExchangeResult::Ok) return r;
    const std::span<const uint8_t> payload = exchange_.Payload();
    key.assign(payload.begin(), payload.end());
  }

  // A reply without both key bytes is as unknown as one with other key bytes.
  if (key.size() >= 2 && key[0] == kwp::kKnownKeyByte1 && key[1] == kwp::kKnownKeyByte2) {
    contacted_ = true;
    return ExchangeResult::Ok;
  }
  contacted_ = true;
  for (int i = 0; i < kBlinks; ++i) {
    ShowStatus("Это неизвестный контроллер. Правильная работа НЕ ГАРАНТИРУЕТСЯ!!!");
    if (stop_.Wait(kBlinkMs) == WaitResult::Signalled) return ExchangeResult::Stopped;
    if (i == kBlinks - 1) break;  // the warning stays on the line
    ShowStatus("");
    if (stop_.Wait(kBlinkMs) == WaitResult::Signalled) return ExchangeResult::Stopped;
  }
  return ExchangeResult::Ok;
}

ExchangeResult EcuSession::SwitchBaudRate(uint16_t requestedBaud) {
  if (requestedBaud == kWakeUpBaud) return ExchangeResult::Ok;
  const Adapter* adapter = exchange_.CurrentAdapter();
  if (adapter != nullptr && !adapter->FollowsRateSwitch()) return ExchangeResult::Ok;
  const uint8_t code = requestedBaud == 38400 ? kwp::kRateCode38400 : kwp::kRateCode57600;
  ShowStatus("Запрос продвинутой скорости обмена " + std::to_string(requestedBaud) + "...");
  const ExchangeResult r =
      exchange_.Exchange({kwp::kStartDiagnosticSession, kwp::kAdvancedSessionMode, code});
  if (r != ExchangeResult::Ok) return r;
  // Should the line refuse the rate, the next request shows it as a silent control unit.
  exchange_.SetBaudRate(requestedBaud);
  return ExchangeResult::Ok;
}

ExchangeResult EcuSession::ReadIdentification() {
  const ExchangeResult r =
      exchange_.Exchange({kwp::kReadEcuIdentification, kwp::kIdentificationOption});
  if (r != ExchangeResult::Ok) return r;
  const std::span<const uint8_t> block = exchange_.Payload();
  ShowStatus(FormatIdentification(block.data(), block.size()));
  return ExchangeResult::Ok;
}

ExchangeResult EcuSession::ServeCodes(CodesMailbox::Ask ask) {
  const bool clear = ask == CodesMailbox::Ask::Clear;
  const ExchangeResult r =
      clear ? exchange_.Exchange(
                  {kwp::kClearDiagnosticInformation, kwp::kDtcAllGroupsHigh, kwp::kDtcAllGroupsLow},
                  true)
            : exchange_.Exchange({kwp::kReadDtcByStatus, kwp::kDtcAnyStatus, kwp::kDtcAllGroupsHigh,
                                  kwp::kDtcAllGroupsLow},
                                 true);
  CodesReport report;
  if (r == ExchangeResult::NoAnswer && exchange_.Refused()) {
    report.outcome = clear ? CodesReport::Outcome::NotConfirmed : CodesReport::Outcome::NotOffered;
    outlets_.ReportCodes(report);
    return ExchangeResult::Ok;
  }
  if (r != ExchangeResult::Ok) {
    if (codes_) codes_->PutBack(ask);
    return r;
  }
  if (clear) {
    report.outcome = CodesReport::Outcome::Cleared;
  } else {
    std::optional<std::vector<TroubleCode>> codes = DecodeKwpCodes(exchange_.Payload());
    if (!codes) {
      exchange_.CountFailedAttempt();
      report.outcome = CodesReport::Outcome::Unreadable;
      outlets_.ReportCodes(report);
      return ExchangeResult::Ok;
    }
    report.codes = std::move(*codes);
  }
  outlets_.ReportCodes(report);
  return ExchangeResult::Ok;
}

ExchangeResult EcuSession::PollLiveData() {
  const ExchangeResult r =
      exchange_.Exchange({kwp::kReadDataByLocalIdentifier, kwp::kLiveDataBlock});
  if (r != ExchangeResult::Ok) return r;
  const std::span<const uint8_t> block = exchange_.Payload();
  const std::optional<LiveSample> sample = DecodeLiveData(block.data(), block.size());
  if (!sample) {
    exchange_.CountFailedAttempt();
    return ExchangeResult::Ok;
  }
  outlets_.AddSample(sample->speed, sample->air, sample->fuel, sample->running);
  return ExchangeResult::Ok;
}

}  // namespace drunvale
