// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "link/kwp_exchange.h"
#include "link/trouble_codes.h"
#include "link/worker_outlets.h"
#include "platform/stop_event.h"

namespace drunvale {

// The KWP2000 session on an open port: close whatever session the control unit still holds,
// wake it, switch the rate if asked, show its identification, then poll the live data until
// something ends the polling, and close the session. Runs on the connection worker; every
// step is callable on its own for tests.
class EcuSession {
 public:
  static constexpr uint16_t kWakeUpBaud = 10400;
  static constexpr int kBlinks = 5;
  static constexpr uint32_t kBlinkMs = 200;
  // The error count while an older session is closed before contact: far below zero, so
  // those attempts never show in the summary, which shows a count below zero as 0.
  static constexpr int32_t kUncountedErrors = -1000;

  EcuSession(KwpExchange& exchange, StopEvent& stop, WorkerOutlets& outlets);
  EcuSession(const EcuSession&) = delete;
  EcuSession& operator=(const EcuSession&) = delete;

  // The result of MakeContact when that fails; PortError when the port failed later on; Woken,
  // without closing requests, when the computer slept; otherwise the final StopCommunication's.
  // Tells the outlets that polling paused when it begins and when the polling ends.
  ExchangeResult RunSession(uint16_t requestedBaud);

  // StopDiagnosticSession (back to the wake-up rate when answered), then StopCommunication,
  // whose result it returns. Neither is cut short by a stop.
  ExchangeResult CloseSession();
  // StartCommunication; an unknown controller's key bytes get a blinking warning.
  ExchangeResult MakeContact();
  // StartDiagnosticSession with the rate code; the line follows only after the positive answer.
  ExchangeResult SwitchBaudRate(uint16_t requestedBaud);
  ExchangeResult ReadIdentification();
  // One live-data block handed on as a sample. A block too short to hold every field gives
  // no sample: it counts as one more repeated attempt, and polling goes on.
  ExchangeResult PollLiveData();

  // Requests for the trouble codes, served between two polls; none without a mailbox.
  void SetCodesMailbox(CodesMailbox* mailbox) { codes_ = mailbox; }
  // Reads or clears the codes and reports what came of it; a unit that refuses is reported,
  // one that falls silent ends the polling like any request, the ask kept for the next session.
  ExchangeResult ServeCodes(CodesMailbox::Ask ask);

  // Whether the last session reached the control unit.
  bool Contacted() const { return contacted_; }

 private:
  void ShowStatus(std::string text) { outlets_.ShowStatus(std::move(text)); }

  KwpExchange& exchange_;
  StopEvent& stop_;
  WorkerOutlets& outlets_;
  CodesMailbox* codes_ = nullptr;
  bool contacted_ = false;
};

// What an adapter's own step means to the session: a silent unit or an adapter that cannot
// carry the session is waited for like no answer.
ExchangeResult ResultOfStep(AdapterStep step);

}  // namespace drunvale
