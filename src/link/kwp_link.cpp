// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_link.h"

#include <system_error>

#include "link/connection_worker.h"
#include "link/link_summary.h"
#include "platform/thread_name.h"
#include "platform/thread_stop_event.h"
#include "settings/settings.h"

namespace drunvale {

// Everything one worker owns, kept alive by whichever of the link and the thread lets go last.
struct KwpLink::Worker {
  Worker(const SharedSettings& settings, TickClock& clock, SleepClock& sleepClock,
         SerialPortOpener opener, StatusOut status, SampleOut samples, PauseOut paused,
         StatusOut causes, CodesOut codesOut, std::shared_ptr<CodesMailbox> mailbox)
      : outlets(stop, std::move(status), std::move(samples), std::move(paused), std::move(causes),
                std::move(codesOut)),
        connection(settings, clock, sleepClock, stop, std::move(opener), outlets),
        codes(std::move(mailbox)) {
    connection.SetCodesMailbox(codes.get());
  }

  ThreadStopEvent stop;
  ThreadStopEvent finished;
  WorkerOutlets outlets;
  ConnectionWorker connection;
  std::shared_ptr<CodesMailbox> codes;
  bool stopRequested = false;  // the UI thread's own
};

KwpLink::KwpLink(const SharedSettings& settings, SampleOut samples, PauseOut paused,
                 TickClock& clock, SerialPortOpener opener, LinkTimings timings,
                 SleepClock& sleepClock)
    : settings_(settings),
      samples_(std::move(samples)),
      paused_(std::move(paused)),
      clock_(clock),
      opener_(std::move(opener)),
      timings_(timings),
      sleepClock_(sleepClock) {}

KwpLink::~KwpLink() {
  if (!worker_) return;
  worker_->outlets.Detach();
  worker_->stop.Set();
  if (thread_.joinable()) thread_.detach();
}

void KwpLink::ShowStatus(std::string text) {
  if (statusControl_) statusControl_(std::move(text));
}

void KwpLink::Start(StatusOut status, StatusOut causes) {
  if (worker_) {
    if (!worker_->finished.IsSet()) return;
    ReleaseEndedWorker();
  }
  statusControl_ = std::move(status);
  causes_ = std::move(causes);
  ShowStatus("Соединяемся...");
  // Whatever the last run had to explain is no longer the news.
  if (causes_) causes_("");

  auto worker = std::make_shared<Worker>(settings_, clock_, sleepClock_, opener_, statusControl_,
                                         samples_, paused_, causes_, codesOut_, codesMailbox_);
  if (lastReceiveTick_) worker->connection.Exchange().SetLastReceiveTick(*lastReceiveTick_);
  worker->connection.SetFoundAdapter(FoundAdapter());
  worker->connection.SetFoundSource(FoundSource());
  // The default stack (8 MiB of address space, committed as used) serves; the worker needs
  // far less, so no size is asked for.
  try {
    thread_ = std::thread([worker] {
      NameCurrentThread(kThreadName);
      // Only a stop ends it; what it ended with has no reader.
      (void)worker->connection.RunWorker();
      worker->finished.Set();
    });
  } catch (const std::system_error&) {
    ShowStatus("Соединение не установлено, ошибка выполнения CreateThread.");
    return;
  }
  worker_ = std::move(worker);
}

void KwpLink::RequestStop() {
  if (!worker_ || worker_->stopRequested) return;
  worker_->stopRequested = true;
  // The last text before the stop mark, under the worker's outlet lock: no worker text can
  // follow it, and none blocks the worker while this thread waits.
  worker_->outlets.MarkStopping(statusControl_, "Отсоединяемся...");
  worker_->stop.Set();
}

void KwpLink::Stop() {
  if (!worker_) return;
  RequestStop();
  const bool ended = worker_->finished.Wait(timings_.joinTimeoutMs) == WaitResult::Signalled;
  if (ended) {
    ReleaseEndedWorker();
    ShowStatus("Соединение не установлено.");
  } else {
    AbandonWorker();
    ShowStatus("Соединение не установлено 2.");
  }
}

void KwpLink::ReleaseEndedWorker() {
  if (thread_.joinable()) thread_.join();
  lastReceiveTick_ = worker_->connection.Exchange().LastReceiveTick();
  found_ = FoundAdapter();
  foundSource_ = FoundSource();
  worker_->outlets.Detach();
  worker_.reset();
}

void KwpLink::AbandonWorker() {
  // Its stop event stays set for good; the thread drops the last reference when it ends.
  found_ = FoundAdapter();
  foundSource_ = FoundSource();
  worker_->outlets.Detach();
  if (thread_.joinable()) thread_.detach();
  worker_.reset();
}

void KwpLink::ApplySettings() {
  if (!worker_) return;
  const Settings settings = settings_.Get();
  ConnectionWorker& connection = worker_->connection;
  const uint16_t baud = settings.Params.BaudRate;
  if (connection.PortName() == settings.Port && connection.RequestedAdapter() == settings.Adapter &&
      connection.RunsWithSource(settings.Source, settings.Fuel) &&
      (connection.CurrentBaud() == baud || connection.RequestedBaud() == baud)) {
    // A cleared DtrOn takes effect at the next open.
    if (settings.Params.DtrOn) connection.RaiseDtr();
    return;
  }
  Stop();
  Start(statusControl_, causes_);
}

std::string KwpLink::LinkSummary() const {
  if (!worker_) return {};
  const ConnectionWorker& connection = worker_->connection;
  if (!connection.PortOpen()) return {};
  return FormatLinkSummary(connection.PortName(), connection.CurrentBaud(),
                           connection.ErrorCount());
}

AdapterKind KwpLink::FoundAdapter() const {
  if (worker_ && worker_->connection.FoundAdapter() != AdapterKind::Automatic) {
    return worker_->connection.FoundAdapter();
  }
  return found_;
}

uint32_t KwpLink::FoundSource() const {
  if (worker_ && worker_->connection.FoundSource() != 0) return worker_->connection.FoundSource();
  return foundSource_;
}

bool KwpLink::WorkerRunning() const {
  return worker_ && !worker_->finished.IsSet();
}

}  // namespace drunvale
