// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/worker_outlets.h"

namespace drunvale {

WorkerOutlets::WorkerOutlets(StopEvent& stop, StatusOut status, SampleOut samples, PauseOut paused,
                             StatusOut causes, CodesOut codes)
    : stop_(stop),
      status_(std::move(status)),
      samples_(std::move(samples)),
      paused_(std::move(paused)),
      causes_(std::move(causes)),
      codes_(std::move(codes)) {}

void WorkerOutlets::ShowStatus(std::string text) {
  std::lock_guard lock(mutex_);
  // The event is looked at too, so a worker driven without an owner (tests) honours a stop.
  if (stopping_ || !status_ || stop_.IsSet()) return;
  status_(std::move(text));
}

void WorkerOutlets::ShowCause(std::string text) {
  std::lock_guard lock(mutex_);
  if (stopping_ || !causes_ || stop_.IsSet()) return;
  causes_(std::move(text));
}

void WorkerOutlets::AddSample(float speed, float air, float fuel, bool running) {
  std::lock_guard lock(mutex_);
  if (samples_) samples_(speed, air, fuel, running);
}

void WorkerOutlets::PollingPaused() {
  std::lock_guard lock(mutex_);
  if (paused_) paused_();
}

void WorkerOutlets::ReportCodes(const CodesReport& report) {
  std::lock_guard lock(mutex_);
  if (codes_) codes_(report);
}

void WorkerOutlets::MarkStopping(const StatusOut& ownerStatus, std::string text) {
  std::lock_guard lock(mutex_);
  if (ownerStatus) ownerStatus(std::move(text));
  stopping_ = true;
}

void WorkerOutlets::Detach() {
  StatusOut status, causes;
  SampleOut samples;
  PauseOut paused;
  CodesOut codes;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    status.swap(status_);
    samples.swap(samples_);
    paused.swap(paused_);
    causes.swap(causes_);
    codes.swap(codes_);
  }
  // Captures are released outside the lock, in case their destructors are slow.
}

}  // namespace drunvale
