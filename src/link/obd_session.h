// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/elm_adapter.h"
#include "link/kwp_exchange.h"
#include "link/obd_data.h"
#include "link/trouble_codes.h"
#include "link/worker_outlets.h"
#include "platform/stop_event.h"

namespace drunvale {

// The standard OBD-II data through an ELM327, for any petrol car since about 2001: the
// protocol found (or the one remembered), the supported PIDs, the VIN and the best fuel
// source, then samples as fast as the bus gives them, batched on CAN and one PID a request
// on K-line. Runs on the connection worker; the error count and the bus rate go to the
// exchange's counters, which the summary reads.
class ObdSession {
 public:
  // Polls in a row that bring nothing usable before the car is taken for silent.
  static constexpr int kAttempts = 20;
  // A search tries every protocol in turn; the slow inits take seconds each.
  static constexpr uint32_t kSearchWaitMs = 20000;
  static constexpr uint32_t kRequestWaitMs = 1500;
  // The most PIDs a CAN request may carry.
  static constexpr size_t kCanBatch = 6;

  ObdSession(ElmAdapter& elm, KwpExchange& counters, StopEvent& stop, WorkerOutlets& outlets,
             std::function<bool()> wokeUp = {});

  // Reaches the car, tells what it found, polls until the car falls silent, the port fails,
  // the computer slept or a stop; then closes the bus. The chip must have been prepared with
  // PrepareForObd.
  ExchangeResult Run(const FuelProperties& fuel);

  // Requests for the trouble codes, served between two polls; none without a mailbox.
  void SetCodesMailbox(CodesMailbox* mailbox) { codes_ = mailbox; }
  // Read: the lamp (01 01), the stored (03) and the pending (07) codes. Clear: mode 04.
  ExchangeResult ServeCodes(CodesMailbox::Ask ask);

  bool Contacted() const { return contacted_; }
  // The protocol found in the last session (ATSP number), 0 before one was.
  int Protocol() const { return protocol_; }
  FuelSource Source() const { return source_; }
  // The PIDs one poll asks for, in request order; on K-line each is a request of its own, the
  // slow ones taking turns.
  std::vector<uint8_t> PollPids() const;

 private:
  ExchangeResult Contact();
  ExchangeResult Identify(const FuelProperties& fuel);
  ExchangeResult Poll(const FuelProperties& fuel);
  // One request; its messages from the engine's unit only. `answers` for the chip's count
  // digit: -1 one from each unit that answered at first, 0 wait for whatever comes.
  ExchangeResult Request(std::string_view hex, uint32_t waitMs, std::vector<ObdMessage>& out,
                         int answers = -1);
  void TakeEngineUnit(const std::vector<ObdMessage>& messages);
  ExchangeResult Failed(AdapterStep step);
  // The identification line, the lamp added while it is lit.
  void ShowIdentity(const CodesReport& lamp);

  ElmAdapter& elm_;
  KwpExchange& counters_;
  StopEvent& stop_;
  WorkerOutlets& outlets_;
  std::function<bool()> wokeUp_;
  CodesMailbox* codes_ = nullptr;

  bool contacted_ = false;
  int protocol_ = 0;
  ObdBus bus_ = ObdBus::Other;
  int units_ = 1;  // how many units answered the first request: the chip's count digit
  uint32_t engine_ = 0;
  SupportedPids supported_;
  FuelSource source_ = FuelSource::None;
  ObdReadings readings_;
  double lowestThrottle_ = 100;
  size_t turn_ = 0;  // which slow PID a K-line poll asks for
  int failures_ = 0;
  std::string identity_;
};

}  // namespace drunvale
