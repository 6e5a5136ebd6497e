// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>

#include "link/adapter.h"
#include "link/kwp_frame.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/stop_event.h"

namespace drunvale {

class SharedSettings;

// Woken: the computer slept during the exchange, so the port is to be opened anew at once.
enum class [[nodiscard]] ExchangeResult : int{Ok = 0, NoAnswer = 1, PortError = 2, Stopped = 3,
                                              Woken = 4};

// Reads the settings' RtsPulse flag; asked afresh before every attempt.
using RtsPulseReader = std::function<bool()>;
// True once after each sleep of the computer; asked before and after every attempt.
using WakeCheck = std::function<bool()>;
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
  // their echo to fit the receive buffer (n > 251), are refused with NoAnswer before any I/O.
  // refusalEnds: a negative answer other than busy ends the exchange at once with NoAnswer
  // and Refused() true, for requests a unit may simply not offer.
  ExchangeResult Exchange(const uint8_t* data, uint8_t n, bool refusalEnds = false);
  ExchangeResult Exchange(std::initializer_list<uint8_t> data, bool refusalEnds = false);
  bool Refused() const { return refused_; }

  // Programs the whole line state at the rate; CurrentBaud follows only on success.
  bool SetBaudRate(uint16_t rate);

  // Set by the owner while the port is open; Exchange answers PortError without one.
  void SetPort(SerialPort* port) { port_ = port; }
  // The transport for the attempts while set; without one, an echoing K-line adapter on the
  // port. Owned by the caller.
  void SetAdapter(Adapter* adapter) { adapter_ = adapter; }
  Adapter* CurrentAdapter() const { return adapter_; }
  // The K-line's rate for the summary where the adapter, not the port, runs the line.
  void SetLineRate(uint32_t rate) { currentBaud_ = rate; }
  // Without one, no exchange ever ends with Woken.
  void SetWakeCheck(WakeCheck wokeUp) { wokeUp_ = std::move(wokeUp); }

  // The last response that passed the checksum test, from the byte after its service
  // identifier up to the checksum; callers read its fields at fixed offsets. It stays in the
  // receive buffer until the next exchange.
  std::span<const uint8_t> Payload() const {
    return {receiveBuffer_.data() + payload_, payloadSize_};
  }
  // Where the payload starts in the frame: 4, or 5 behind a length byte.
  size_t PayloadOffset() const { return payload_; }
  const std::array<uint8_t, kReceiveBufferSize>& ReceiveBuffer() const { return receiveBuffer_; }

  // No request goes out earlier than kPacingMs after this tick; a new worker takes it over
  // from the last one, so the pacing holds across reconnections.
  uint32_t LastReceiveTick() const { return lastReceiveTick_; }
  void SetLastReceiveTick(uint32_t tick) { lastReceiveTick_ = tick; }

  // What the system said when the port last failed, or refused a rate (errno, or GetLastError
  // on Windows).
  int LastPortError() const { return lastPortError_; }

  // Read by the dialog thread for the summary.
  uint32_t CurrentBaud() const { return currentBaud_.load(); }
  int32_t ErrorCount() const { return errorCount_.load(); }
  // The session resets the count at each opening and counts attempts of its own.
  void SetErrorCount(int32_t count) { errorCount_ = count; }
  void CountFailedAttempt() { ++errorCount_; }

 private:
  enum class Attempt { Positive, Failed, Refused, PortFailure };

  uint32_t TimeUntilDue();
  void PulseRts();
  Attempt RunAttempt(const KwpFrame& frame, uint8_t service);
  Attempt ReadResponse(uint8_t service);
  Attempt Carried(const KwpFrame& frame, uint8_t service);
  // The frame in the receive buffer answered `service`: positive, or failed (busy noted).
  Attempt Judge(const ResponseHeader& header, uint8_t service);
  // The port failed: keep what the system said for the user.
  Attempt PortFailed(const IoResult& result);

  TickClock& clock_;
  StopEvent& stopEvent_;
  RtsPulseReader rtsPulse_;
  WakeCheck wokeUp_;
  SerialPort* port_ = nullptr;
  Adapter* adapter_ = nullptr;
  uint32_t lastReceiveTick_;
  bool refused_ = false;
  size_t payload_ = 0;
  size_t payloadSize_ = 0;
  std::array<uint8_t, kReceiveBufferSize> receiveBuffer_{};
  int lastPortError_ = 0;
  std::atomic<uint32_t> currentBaud_{0};
  std::atomic<int32_t> errorCount_{0};
};

}  // namespace drunvale
