// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "link/ecu_session.h"
#include "link/elm_adapter.h"
#include "link/kwp_exchange.h"
#include "link/wake_watch.h"
#include "link/worker_outlets.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleep_clock.h"
#include "platform/stop_event.h"
#include "settings/settings.h"

namespace drunvale {

// The status's beginning when the port would not open, the port's name and a full stop after.
inline constexpr std::string_view kCannotOpenStatus = "Не удаётся открыть ";

// A data source found and its protocol, as kept from run to run.
constexpr uint32_t PackedSource(DataSourceKind source, int protocol) {
  return static_cast<uint32_t>(source) | static_cast<uint32_t>(protocol & 0xFF) << 8;
}

// One run of the connection worker with everything it owns: the port, the frame exchange with
// its buffer and counters, the port name and rate it was started with. A new Start makes a new
// one, so a worker the link gave up on shares nothing with its successor. RunWorker is the
// thread body; tests call it directly on virtual time. The summary's fields and RaiseDtr are
// for the dialog thread.
class ConnectionWorker {
 public:
  static constexpr int kIndicatorSteps = 50;
  static constexpr uint32_t kIndicatorStepMs = 100;

  ConnectionWorker(const SharedSettings& settings, TickClock& clock, SleepClock& sleepClock,
                   StopEvent& stop, SerialPortOpener opener, WorkerOutlets& outlets);
  ConnectionWorker(const ConnectionWorker&) = delete;
  ConnectionWorker& operator=(const ConnectionWorker&) = delete;

  // Opens the port, runs the session, closes the port; after a silent control unit, a port
  // that failed or one that would not open, shows the waiting indicator for 5 s and starts
  // over; after a sleep of the computer, starts over at once. Returns what ended it: a stop,
  // or a session that closed normally.
  ExchangeResult RunWorker();

  // Where the sessions find requests for the trouble codes; outlives the worker.
  void SetCodesMailbox(CodesMailbox* mailbox) {
    codes_ = mailbox;
    session_.SetCodesMailbox(mailbox);
  }

  // Dialog thread.
  bool PortOpen() const;
  std::string PortName() const;
  uint16_t RequestedBaud() const { return requestedBaud_.load(); }
  AdapterKind RequestedAdapter() const { return requestedAdapter_.load(); }
  // The data source and the estimate's figures this run opened with.
  bool RunsWithSource(DataSourceKind source, const ObdFuel& fuel) const;
  // What automatic detection found (Automatic: nothing yet); a start may say what an earlier
  // run found, tried first.
  AdapterKind FoundAdapter() const { return found_.load(); }
  void SetFoundAdapter(AdapterKind kind) { found_ = kind; }
  // Likewise the data source automatic choice found, with the OBD-II protocol (ATSP number)
  // in the second byte: PackedSource(DataSourceKind::StandardObd, 6).
  uint32_t FoundSource() const { return sourceFound_.load(); }
  void SetFoundSource(uint32_t packed) { sourceFound_ = packed; }
  uint32_t CurrentBaud() const { return exchange_.CurrentBaud(); }
  int32_t ErrorCount() const { return exchange_.ErrorCount(); }
  // Raises DTR if the port is open; never races with the worker closing it.
  void RaiseDtr();

  // Worker thread, or anyone once the worker has ended.
  KwpExchange& Exchange() { return exchange_; }
  EcuSession& Session() { return session_; }

 private:
  void ShowStatus(std::string text) { outlets_.ShowStatus(std::move(text)); }
  void ShowCause(std::string text) { outlets_.ShowCause(std::move(text)); }
  // error: why, when the port would not open.
  bool OpenPort(const std::string& name, OpenError& error);
  // The adapter the settings name, or the one that answers; then its session, and close.
  ExchangeResult RunOnOpenPort(const Settings& settings);
  // Through an ELM327: nullopt when probing and no chip answered (the port stays open).
  std::optional<ExchangeResult> RunThroughElm(const Settings& settings, bool probing);
  // The standard data through the chip; the found source and protocol kept.
  ExchangeResult RunObd(ElmAdapter& elm, const Settings& settings);
  // Line state, session, lines down, close.
  ExchangeResult RunThroughKLine(const Settings& settings);
  void ClosePort();
  // The › indicator; false when a stop came while it ran.
  bool WaitBeforeReopening();

  // Its own handle: a worker left running after a stop may outlive the program's settings.
  const SharedSettings settings_;
  StopEvent& stop_;
  SerialPortOpener opener_;
  WorkerOutlets& outlets_;
  TickClock& clock_;
  WakeWatch wake_;
  KwpExchange exchange_;
  EcuSession session_;
  CodesMailbox* codes_ = nullptr;
  // What the chip's set-up learnt, kept across reopenings.
  ElmAdapter::Memory elmMemory_;

  // Replaced by the worker at every (re)open, read by the dialog thread.
  mutable std::mutex mutex_;
  std::unique_ptr<SerialPort> port_;
  std::string portName_;
  std::atomic<uint16_t> requestedBaud_{0};
  std::atomic<AdapterKind> requestedAdapter_{AdapterKind::Automatic};
  std::atomic<AdapterKind> found_{AdapterKind::Automatic};
  std::atomic<uint32_t> sourceFound_{0};
  DataSourceKind requestedSource_ = DataSourceKind::Automatic;  // under mutex_
  ObdFuel requestedFuel_;                                       // under mutex_
};

}  // namespace drunvale
