// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "link/worker_outlets.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleep_clock.h"
#include "settings/settings.h"

namespace drunvale {

class SharedSettings;

struct LinkTimings {
  uint32_t joinTimeoutMs = 15000;  // how long Stop waits for the worker
};

// The ECU link: starts and stops the connection worker that opens the port, runs the KWP2000
// session and hands every live-data block to `samples`. All members run on the dialog thread;
// the settings and the clock must outlive every worker (they are process-wide).
//
// Each Start makes a new worker with its own port, exchange, counters and stop event, held
// jointly by the link and the thread. A worker that outlives Stop's wait is forgotten: its
// stop stays set, its outlets are cut off, and a later worker shares nothing with it.
class KwpLink {
 public:
  static constexpr const char* kThreadName = "drunvale-link";

  // paused hears, on the worker, that polling stopped or begins anew after a pause.
  // sleepClock tells the worker when the computer slept, so that it opens the port anew.
  KwpLink(const SharedSettings& settings, SampleOut samples, PauseOut paused,
          TickClock& clock = SystemTickClock(), SerialPortOpener opener = OpenSystemSerialPort,
          LinkTimings timings = {}, SleepClock& sleepClock = SystemSleepClock());
  ~KwpLink();  // never waits for a worker; a still-running one is detached safely
  KwpLink(const KwpLink&) = delete;
  KwpLink& operator=(const KwpLink&) = delete;

  // Starts the worker unless one is running; status receives every progress text from now on,
  // causes the cause line that explains some of them (why a port would not open or was lost),
  // which a new start clears.
  void Start(StatusOut status, StatusOut causes = nullptr);
  // Tells the worker to stop and end, without waiting: it starts no new poll, while the
  // session's goodbye may still take its time.
  void RequestStop();
  // Asks the worker to stop (unless RequestStop did) and waits up to the join timeout for it.
  void Stop();
  // After new settings were saved: restarts the worker when the port or the rate changed.
  void ApplySettings();
  // "" when no port is open, else "port : rate : Ошибок: count".
  std::string LinkSummary() const;
  // Which adapter automatic detection found, as the current worker knows it; set before a
  // Start from what an earlier run found.
  AdapterKind FoundAdapter() const;
  void SetFoundAdapter(AdapterKind kind) { found_ = kind; }
  // Likewise the data source and its protocol (PackedSource).
  uint32_t FoundSource() const;
  void SetFoundSource(uint32_t packed) { foundSource_ = packed; }
  bool WorkerRunning() const;

  // Where the trouble codes' reports go, on the worker; set before a Start.
  void SetCodesOut(CodesOut codes) { codesOut_ = std::move(codes); }
  // Reads or clears the codes within the session, between two polls; a request made while no
  // session runs waits for the next one.
  void AskCodes(CodesMailbox::Ask ask) { codesMailbox_->Post(ask); }

 private:
  struct Worker;

  void ShowStatus(std::string text);
  // The worker ended: collect its thread and keep the pacing for the next one.
  void ReleaseEndedWorker();
  // The worker did not end in time: cut it off and let it finish on its own.
  void AbandonWorker();

  const SharedSettings& settings_;
  SampleOut samples_;
  PauseOut paused_;
  TickClock& clock_;
  SerialPortOpener opener_;
  LinkTimings timings_;
  SleepClock& sleepClock_;

  StatusOut statusControl_;
  StatusOut causes_;
  CodesOut codesOut_;
  // Shared with every worker, so an abandoned one never outlives it.
  std::shared_ptr<CodesMailbox> codesMailbox_ = std::make_shared<CodesMailbox>();
  std::shared_ptr<Worker> worker_;  // set from Start until the next Start or Stop
  std::thread thread_;
  std::optional<uint32_t> lastReceiveTick_;     // from the last worker that ended in time
  AdapterKind found_ = AdapterKind::Automatic;  // handed from worker to worker
  uint32_t foundSource_ = 0;                    // likewise
};

}  // namespace drunvale
