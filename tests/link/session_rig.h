// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/connection_worker.h"
#include "link/ecu_blocks_decode.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_serial_port.h"
#include "settings/settings.h"

namespace drunvale::testing {

using Bytes = std::vector<uint8_t>;

// The data after 0x61: local identifier 0x01, the four fields, distinct filler elsewhere.
Bytes LiveBlock(uint8_t status, uint8_t speed, uint16_t airRaw, uint16_t fuelRaw, size_t size = 32);
// The data after 0x5A: option 0x80 and the three texts zero-padded in their fields.
Bytes IdentificationBlock(const std::string& name, const std::string& version,
                          const std::string& date, size_t size = 100);

// A control unit behind the scripted adapter: answers the session's requests positively,
// 20 ms after the echo, 1 ms per byte, and notes the line rate each request was sent at.
struct ScriptedEcu {
  std::array<uint8_t, 2> keyBytes{0x6B, 0x8F};
  // Replaces C1 and the key bytes when set.
  std::optional<Bytes> contactReply;
  Bytes live = LiveBlock(0x00, 50, 291, 500);
  Bytes identification = IdentificationBlock("ECU-NAME", "1.2", "20240101");
  // Only the echo comes back (ignition off), or only for these services.
  bool silent = false;
  std::vector<uint8_t> ignored;
  // Code, code, status for ReadDiagnosticTroubleCodesByStatus; unset: 18 and 14 refused.
  std::optional<Bytes> troubleCodes;
  // Called with the service of every request before it is answered.
  std::function<void(uint8_t service)> onRequest;

  std::vector<Bytes> requests;  // data bytes, service first
  std::vector<uint32_t> rates;  // the port's rate when each request went out
  std::vector<bool> answered;

  ScriptedReply Answer(const Bytes& frame, uint32_t lineRate);
};

// A connection worker on virtual time over the scripted port, with every port call, status
// text and sample written to one timeline.
class SessionRig {
 public:
  static constexpr uint32_t kStart = 1000;

  explicit SessionRig(uint16_t baud = 10400, bool dtrOn = false);

  // The timeline since the last call, one event a line: "<ms> <what>".
  std::string TakeLog();
  std::vector<std::string> Statuses() const { return statuses; }
  int Count(uint8_t service) const;
  // As KwpLink's summary shows the worker: "" with no port open.
  std::string Summary() const;

  ManualTickClock clock{kStart};
  ManualSleepClock sleepClock;
  ManualStopEvent stop{clock};
  ScriptedSerialPort port{clock};
  SharedSettings settings;
  ScriptedEcu ecu;
  bool openFails = false;
  OpenError whyOpenFails{OpenFailure::NoDevice, 2};
  // Called at every open, before the worker sets the port up, and with every text shown.
  std::function<void()> onOpen;
  std::function<void(const std::string&)> onStatus;
  std::function<void()> onSample;
  int opens = 0;
  int closes = 0;
  std::vector<std::string> statuses;
  std::vector<std::string> causes;  // "" when cleared
  std::vector<LiveSample> samples;
  int pauses = 0;
  std::vector<CodesReport> codeReports;
  WorkerOutlets outlets;
  ConnectionWorker worker;

 private:
  friend class LoggedPort;
  void LogPortEvents();
  void Log(const std::string& what);

  std::string log_;
  size_t loggedEvents_ = 0;
};

}  // namespace drunvale::testing
