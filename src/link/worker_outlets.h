// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "link/trouble_codes.h"
#include "platform/stop_event.h"

namespace drunvale {

// Where the link's status texts go; must never block. UTF-8.
using StatusOut = std::function<void(std::string text)>;
// Where each polled sample goes: km/h, kg/h, l/h, engine running.
using SampleOut = std::function<void(float speed, float air, float fuel, bool running)>;
// Word that polling has stopped, or that a new session begins after a pause: whatever sample
// comes next follows a stretch in which nothing was measured.
using PauseOut = std::function<void()>;

// A worker's only ways out to the rest of the program. Texts stop once a stop is requested;
// once detached, nothing passes at all, so a worker the link gave up on can never reach the
// user interface or the trip computer again. All outlets are called under one small mutex:
// the owner's last text and the stop mark go in together, so no worker text follows them.
class WorkerOutlets {
 public:
  // stop: the worker's own stop event; a text is dropped once it is set. causes: the cause
  // line, which says why the status line says what it says ("" when it has nothing to say).
  WorkerOutlets(StopEvent& stop, StatusOut status, SampleOut samples, PauseOut paused = nullptr,
                StatusOut causes = nullptr, CodesOut codes = nullptr);
  WorkerOutlets(const WorkerOutlets&) = delete;
  WorkerOutlets& operator=(const WorkerOutlets&) = delete;

  // Worker side.
  void ShowStatus(std::string text);
  void ShowCause(std::string text);
  void AddSample(float speed, float air, float fuel, bool running);
  void PollingPaused();
  void ReportCodes(const CodesReport& report);

  // Owner side: shows the owner's text through its own outlet, then lets no more worker
  // texts through; both under the mutex.
  void MarkStopping(const StatusOut& ownerStatus, std::string text);
  // Nothing passes from now on; the outlets (and whatever they captured) are released here.
  void Detach();

 private:
  std::mutex mutex_;
  StopEvent& stop_;
  StatusOut status_;
  SampleOut samples_;
  PauseOut paused_;
  StatusOut causes_;
  CodesOut codes_;
  bool stopping_ = false;
};

}  // namespace drunvale
