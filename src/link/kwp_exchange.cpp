#include "link/kwp_exchange.h"

#include <cstring>

#include "settings/settings.h"

namespace drunvale {
namespace {

constexpr uint8_t kStopDiagnosticSession = 0x20;
constexpr uint8_t kStopCommunication = 0x82;
constexpr uint8_t kPositiveBit = 0x40;
constexpr uint8_t kNegativeResponse = 0x7F;
constexpr uint8_t kBusyRepeatRequest = 0x21;
constexpr uint8_t kRoutineNotComplete = 0x77;

}  // namespace

RtsPulseReader RtsPulseFrom(const SharedSettings& settings) {
  return [&settings] { return settings.GetParameters().RtsPulse; };
}

KwpExchange::KwpExchange(TickClock& clock, StopEvent& stopEvent, RtsPulseReader rtsPulse)
    : LastReceiveTick(clock.NowMs() - kPacingMs),
      clock_(clock),
      stopEvent_(stopEvent),
      rtsPulse_(std::move(rtsPulse)) {}

KwpExchange::KwpExchange(TickClock& clock, StopEvent& stopEvent, const SharedSettings& settings)
    : KwpExchange(clock, stopEvent, RtsPulseFrom(settings)) {}

ExchangeResult KwpExchange::Exchange(std::initializer_list<uint8_t> data) {
  if (data.size() > 255) return ExchangeResult::NoAnswer;
  return Exchange(data.begin(), static_cast<uint8_t>(data.size()));
}

uint32_t KwpExchange::TimeUntilDue() {
  const int32_t left = static_cast<int32_t>(LastReceiveTick + kPacingMs - clock_.NowMs());
  // The due time lies at most one busy delay in the future; anything further ahead is a tick
  // from before a wrap of the counter, long past.
  if (left <= 0 || left > static_cast<int32_t>(kPacingMs + kBusyDelayMs)) return 0;
  return static_cast<uint32_t>(left);
}

ExchangeResult KwpExchange::Exchange(const uint8_t* data, uint8_t n) {
  if (n == 0 || n > kMaxBufferedDataLength) return ExchangeResult::NoAnswer;
  if (PortHandle == nullptr) return ExchangeResult::PortError;
  const KwpFrame frame = BuildRequestFrame(data, n);
  const uint8_t service = data[0];
  // The closing requests must run even after a stop was asked for, but only briefly.
  const bool closing = service == kStopDiagnosticSession || service == kStopCommunication;

  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (attempt > 1) ++ErrorCount;
    const uint32_t left = TimeUntilDue();
    if (closing) {
      if (attempt > kClosingAttempts) return ExchangeResult::NoAnswer;
      if (left > 0) clock_.SleepMs(left);
    } else if (stopEvent_.Wait(left) != WaitResult::TimedOut) {
      return ExchangeResult::Stopped;
    }
    switch (RunAttempt(frame, service)) {
      case Attempt::Positive:
        return ExchangeResult::Ok;
      case Attempt::PortFailure:
        return ExchangeResult::PortError;
      case Attempt::Failed:
        break;
    }
  }
  return ExchangeResult::NoAnswer;
}

void KwpExchange::PulseRts() {
  // A port without modem lines answers false; the pulse's timing is kept all the same.
  PortHandle->SetRts(true);
  clock_.SleepMs(kRtsPulseMs);
  PortHandle->SetRts(false);
  clock_.SleepMs(kRtsPulseMs);
}

KwpExchange::Attempt KwpExchange::RunAttempt(const KwpFrame& frame, uint8_t service) {
  SerialPort& port = *PortHandle;
  if (rtsPulse_ && rtsPulse_()) PulseRts();
  if (!port.Purge()) return Attempt::PortFailure;

  const IoResult written = port.Write(frame.data(), frame.size);
  if (!written.ok) return Attempt::PortFailure;
  if (written.count < frame.size) return Attempt::Failed;

  // The adapter hands back every byte sent before the control unit's answer.
  const IoResult echo = port.Read(ReceiveBuffer.data(), frame.size);
  LastReceiveTick = clock_.NowMs();
  if (!echo.ok) return Attempt::PortFailure;
  if (echo.count < frame.size) return Attempt::Failed;
  if (std::memcmp(ReceiveBuffer.data(), frame.data(), frame.size) != 0) return Attempt::Failed;

  return ReadResponse(service);
}

KwpExchange::Attempt KwpExchange::ReadResponse(uint8_t service) {
  SerialPort& port = *PortHandle;
  const IoResult head = port.Read(ReceiveBuffer.data(), 4);
  LastReceiveTick = clock_.NowMs();
  if (!head.ok) return Attempt::PortFailure;
  if (head.count < 4) return Attempt::Failed;
  const std::optional<ResponseHeader> header = ParseResponseHeader(ReceiveBuffer.data());
  if (!header) return Attempt::Failed;

  const size_t rest = header->restLength;
  const IoResult tail = port.Read(ReceiveBuffer.data() + 4, rest);
  LastReceiveTick = clock_.NowMs();
  if (!tail.ok) return Attempt::PortFailure;
  if (tail.count < rest) return Attempt::Failed;

  const size_t checksumAt = rest + 3;
  if (KwpChecksum(ReceiveBuffer.data(), checksumAt) != ReceiveBuffer[checksumAt]) {
    return Attempt::Failed;
  }

  const size_t serviceAt = header->serviceOffset;
  Payload = serviceAt + 1;
  PayloadSize = header->dataLength - 1;
  const uint8_t responseService = ReceiveBuffer[serviceAt];
  if (responseService == (service | kPositiveBit)) return Attempt::Positive;
  if (responseService == kNegativeResponse && header->dataLength >= 3 &&
      ReceiveBuffer[serviceAt + 1] == service) {
    const uint8_t code = ReceiveBuffer[serviceAt + 2];
    // The control unit is busy: give it one more pacing interval before the next attempt.
    if (code == kBusyRepeatRequest || code == kRoutineNotComplete) LastReceiveTick += kBusyDelayMs;
  }
  return Attempt::Failed;
}

bool KwpExchange::SetBaudRate(uint16_t rate) {
  if (PortHandle == nullptr || !PortHandle->SetLine(rate)) return false;
  CurrentBaud = rate;
  return true;
}

}  // namespace drunvale
