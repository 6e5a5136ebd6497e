#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "link/kwp_frame.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/stop_event.h"

namespace drunvale {

class SharedSettings;

enum class ExchangeResult : int { Ok = 0, NoAnswer = 1, PortError = 2, Stopped = 3 };

// Reads the settings' RtsPulse flag; asked afresh before every attempt.
using RtsPulseReader = std::function<bool()>;
RtsPulseReader RtsPulseFrom(const SharedSettings& settings);

// One request/response transaction with the engine control unit over a K-line adapter that
// echoes every byte, with pacing and retries. Lives on the connection worker thread; a new
// worker run makes a new one, so a worker that was given up on never shares the port, the
// buffer or the counters with its successor. Only CurrentBaud and ErrorCount are read by
// other threads.
class KwpExchange {
 public:
  static constexpr int kAttempts = 20;
  static constexpr int kClosingAttempts = 3;  // StopDiagnosticSession, StopCommunication
  static constexpr uint32_t kPacingMs = 100;
  static constexpr uint32_t kBusyDelayMs = 100;
  static constexpr uint32_t kRtsPulseMs = 25;

  KwpExchange(TickClock& clock, StopEvent& stopEvent, RtsPulseReader rtsPulse);
  KwpExchange(TickClock& clock, StopEvent& stopEvent, const SharedSettings& settings);
  KwpExchange(const KwpExchange&) = delete;
  KwpExchange& operator=(const KwpExchange&) = delete;

  // data: the service identifier and its parameters. Requests without data, or too long for
  // their echo to fit ReceiveBuffer (n > 251), are refused with NoAnswer before any I/O.
  ExchangeResult Exchange(const uint8_t* data, uint8_t n);
  ExchangeResult Exchange(std::initializer_list<uint8_t> data);

  // Programs the whole line state at the rate; CurrentBaud follows only on success.
  bool SetBaudRate(uint16_t rate);

  // Set by the owner while the port is open; Exchange answers PortError without one.
  SerialPort* PortHandle = nullptr;
  // No request goes out earlier than kPacingMs after this tick.
  uint32_t LastReceiveTick;
  // In ReceiveBuffer: the byte after the response service identifier of the last response
  // that passed the checksum, and how many data bytes follow it up to the checksum.
  size_t Payload = 0;
  size_t PayloadSize = 0;
  std::array<uint8_t, kReceiveBufferSize> ReceiveBuffer{};
  std::atomic<uint16_t> CurrentBaud{0};
  std::atomic<int32_t> ErrorCount{0};

 private:
  enum class Attempt { Positive, Failed, PortFailure };

  uint32_t TimeUntilDue();
  void PulseRts();
  Attempt RunAttempt(const KwpFrame& frame, uint8_t service);
  Attempt ReadResponse(uint8_t service);

  TickClock& clock_;
  StopEvent& stopEvent_;
  RtsPulseReader rtsPulse_;
};

}  // namespace drunvale
