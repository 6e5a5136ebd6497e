// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim/ecu_sim_config.h"
#include "sim/elm_chip.h"
#include "sim/elm_config.h"
#include "sim/host_stream.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// The simulated ELM327 on byte streams, in a thread of its own and on the real clock: one host
// at a time, the chip and the car living on between connections, as a Wi-Fi adapter's do.
// All public members are thread-safe.
class ElmServer {
 public:
  explicit ElmServer(ElmSimConfig elm = {}, EcuSimConfig ecu = {});  // the drive starts now
  ~ElmServer();
  ElmServer(const ElmServer&) = delete;
  ElmServer& operator=(const ElmServer&) = delete;

  // Serves this one stream until it ends or fails (a pseudo-terminal). Only once.
  bool Serve(std::unique_ptr<HostStream> stream);
  // Serves one connection after another until Stop or a failure (TCP). Only once.
  bool Listen(std::unique_ptr<HostStreamListener> listener);
  // Ends the thread; the stream or listener goes with it. Safe to call twice.
  void Stop();
  // False before serving, after Stop, and once the stream or listener ended by itself.
  bool Running() const { return running_.load(); }
  // Why serving ended by itself; empty while it runs or after Stop.
  std::string Error() const;
  SimTime StartTime() const { return start_; }

  // Fault switches, as the K-line simulator has them.
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration = std::nullopt);
  void SetIgnitionOn();
  std::vector<RequestRecord> Requests() const;
  std::vector<ServedSample> ServedSamples() const;
  // What the standard OBD-II car of ElmSimConfig::obdCar answered; empty without one.
  std::vector<ObdServedSample> ObdSamples() const;

 private:
  bool Begin();
  // Serves until the stream ends; false when the stream failed.
  bool ServeStream(HostStream& stream);
  void SetCurrent(HostStream* stream);
  void Fail(std::string error);

  const SimTime start_;
  mutable std::mutex mutex_;  // guards the chip and the error
  ElmChip chip_;
  std::string error_;

  std::mutex wakeMutex_;  // guards which stream and listener a Stop wakes
  HostStream* current_ = nullptr;
  HostStreamListener* listener_ = nullptr;

  bool started_ = false;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::thread thread_;
};

}  // namespace drunvale::sim
