// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_exchange.h"

#include <cstring>

#include "link/kwp_services.h"
#include "settings/settings.h"

namespace drunvale {

RtsPulseReader RtsPulseFrom(const SharedSettings& settings) {
  return [&settings] { return settings.GetParameters().RtsPulse; };
}

KwpExchange::KwpExchange(TickClock& clock, StopEvent& stopEvent, RtsPulseReader rtsPulse)
    : clock_(clock),
      stopEvent_(stopEvent),
      rtsPulse_(std::move(rtsPulse)),
      lastReceiveTick_(clock.NowMs() - kPacingMs) {}

KwpExchange::KwpExchange(TickClock& clock, StopEvent& stopEvent, const SharedSettings& settings)
    : KwpExchange(clock, stopEvent, RtsPulseFrom(settings)) {}

ExchangeResult KwpExchange::Exchange(std::initializer_list<uint8_t> data, bool refusalEnds) {
  if (data.size() > 255) return ExchangeResult::NoAnswer;
  return Exchange(data.begin(), static_cast<uint8_t>(data.size()), refusalEnds);
}

uint32_t KwpExchange::TimeUntilDue() {
  const int32_t left = static_cast<int32_t>(lastReceiveTick_ + kPacingMs - clock_.NowMs());
  // The due time lies at most one busy delay in the future; anything further ahead is a tick
  // from before a wrap of the counter, long past.
  if (left <= 0 || left > static_cast<int32_t>(kPacingMs + kBusyDelayMs)) return 0;
  return static_cast<uint32_t>(left);
}

ExchangeResult KwpExchange::Exchange(const uint8_t* data, uint8_t n, bool refusalEnds) {
  refused_ = false;
  if (n == 0 || n > kMaxBufferedDataLength) return ExchangeResult::NoAnswer;
  if (port_ == nullptr) return ExchangeResult::PortError;
  const KwpFrame frame = BuildRequestFrame(data, n);
  const uint8_t service = data[0];
  // The closing requests must run even after a stop was asked for, but only briefly.
  const bool closing = service == kwp::kStopDiagnosticSession || service == kwp::kStopCommunication;

  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (attempt > 1) ++errorCount_;
    const uint32_t left = TimeUntilDue();
    if (closing) {
      if (attempt > kClosingAttempts) return ExchangeResult::NoAnswer;
      if (left > 0) clock_.SleepMs(left);
    } else if (stopEvent_.Wait(left) != WaitResult::TimedOut) {
      return ExchangeResult::Stopped;
    }
    // A handle that slept may be dead without saying so, and an answer that arrives across a
    // sleep is no measure of anything.
    if (wokeUp_ && wokeUp_()) return ExchangeResult::Woken;
    const Attempt outcome = RunAttempt(frame, service);
    if (wokeUp_ && wokeUp_()) return ExchangeResult::Woken;
    switch (outcome) {
      case Attempt::Positive:
        return ExchangeResult::Ok;
      case Attempt::PortFailure:
        return ExchangeResult::PortError;
      case Attempt::Refused:
        if (refusalEnds) {
          refused_ = true;
          return ExchangeResult::NoAnswer;
        }
        break;
      case Attempt::Failed:
        break;
    }
  }
  return ExchangeResult::NoAnswer;
}

void KwpExchange::PulseRts() {
  // A port without modem lines answers false; the pulse's timing is kept all the same.
  port_->SetRts(true);
  clock_.SleepMs(kRtsPulseMs);
  port_->SetRts(false);
  clock_.SleepMs(kRtsPulseMs);
}

KwpExchange::Attempt KwpExchange::RunAttempt(const KwpFrame& frame, uint8_t service) {
  if (adapter_ != nullptr) return Carried(frame, service);
  SerialPort& port = *port_;
  if (rtsPulse_ && rtsPulse_()) PulseRts();
  if (const IoResult purged = port.Purge(); !purged) return PortFailed(purged);

  const IoResult written = port.Write(frame.data(), frame.size);
  if (!written) return PortFailed(written);
  if (written.count < frame.size) return Attempt::Failed;

  // The adapter hands back every byte sent before the control unit's answer.
  const IoResult echo = port.Read(receiveBuffer_.data(), frame.size);
  lastReceiveTick_ = clock_.NowMs();
  if (!echo) return PortFailed(echo);
  if (echo.count < frame.size) return Attempt::Failed;
  if (std::memcmp(receiveBuffer_.data(), frame.data(), frame.size) != 0) return Attempt::Failed;

  return ReadResponse(service);
}

KwpExchange::Attempt KwpExchange::ReadResponse(uint8_t service) {
  SerialPort& port = *port_;
  const IoResult head = port.Read(receiveBuffer_.data(), 4);
  lastReceiveTick_ = clock_.NowMs();
  if (!head) return PortFailed(head);
  if (head.count < 4) return Attempt::Failed;
  const std::optional<ResponseHeader> header = ParseResponseHeader(receiveBuffer_.data());
  if (!header) return Attempt::Failed;

  const size_t rest = header->restLength;
  const IoResult tail = port.Read(receiveBuffer_.data() + 4, rest);
  lastReceiveTick_ = clock_.NowMs();
  if (!tail) return PortFailed(tail);
  if (tail.count < rest) return Attempt::Failed;

  return Judge(*header, service);
}

KwpExchange::Attempt KwpExchange::Carried(const KwpFrame& frame, uint8_t service) {
  const Transfer carried = adapter_->Carry(frame, receiveBuffer_, lastReceiveTick_);
  if (carried.outcome == Transfer::Outcome::PortFailure) {
    lastPortError_ = carried.systemError;
    return Attempt::PortFailure;
  }
  if (carried.outcome != Transfer::Outcome::Received || carried.size < 4) return Attempt::Failed;
  const std::optional<ResponseHeader> header = ParseResponseHeader(receiveBuffer_.data());
  // A frame cut short or run on is as bad as a wrong checksum.
  if (!header || carried.size != 4 + header->restLength) return Attempt::Failed;
  return Judge(*header, service);
}

KwpExchange::Attempt KwpExchange::Judge(const ResponseHeader& header, uint8_t service) {
  const size_t checksumAt = header.restLength + 3;
  if (KwpChecksum(receiveBuffer_.data(), checksumAt) != receiveBuffer_[checksumAt]) {
    return Attempt::Failed;
  }

  const size_t serviceAt = header.serviceOffset;
  payload_ = serviceAt + 1;
  payloadSize_ = header.dataLength - 1;
  const uint8_t responseService = receiveBuffer_[serviceAt];
  if (responseService == (service | kwp::kPositiveResponseBit)) return Attempt::Positive;
  if (responseService == kwp::kNegativeResponse && header.dataLength >= 3 &&
      receiveBuffer_[serviceAt + 1] == service) {
    const uint8_t code = receiveBuffer_[serviceAt + 2];
    // The control unit is busy: give it one more pacing interval before the next attempt.
    if (code == kwp::kBusyRepeatRequest || code == kwp::kRoutineNotComplete ||
        (adapter_ != nullptr && code == kwp::kResponsePending)) {
      lastReceiveTick_ += kBusyDelayMs;
    } else if (code != kwp::kResponsePending) {
      return Attempt::Refused;
    }
  }
  return Attempt::Failed;
}

KwpExchange::Attempt KwpExchange::PortFailed(const IoResult& result) {
  lastPortError_ = result.systemError;
  return Attempt::PortFailure;
}

bool KwpExchange::SetBaudRate(uint16_t rate) {
  if (port_ == nullptr) return false;
  if (const IoResult set = port_->SetLine(rate); !set) {
    lastPortError_ = set.systemError;
    return false;
  }
  currentBaud_ = rate;
  return true;
}

}  // namespace drunvale
