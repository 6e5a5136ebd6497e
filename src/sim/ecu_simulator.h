// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim/ecu_line.h"
#include "sim/ecu_sim_config.h"
#include "sim/pty_pair.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// A K-line adapter with an engine control unit behind it, on a pseudo-terminal. The tester opens
// DevicePath() like a serial port. The adapter echoes every byte the tester writes; the control
// unit answers after the response delay, byte by byte at its line rate, and switches rate only
// once an answer that asks for it has gone out whole. Every request and every live-data block
// handed out is recorded for tests. All public members are thread-safe.
//
// Inside another program (a demo): construct it, Start, open DevicePath() as the serial port,
// flip fault switches at will, and Stop (or destroy it) when done.
class EcuSimulator {
 public:
  explicit EcuSimulator(EcuSimConfig config = {});
  ~EcuSimulator();
  EcuSimulator(const EcuSimulator&) = delete;
  EcuSimulator& operator=(const EcuSimulator&) = delete;

  // Opens the pseudo-terminal and starts the line thread; the drive starts now. Only once.
  bool Start(std::string* error = nullptr);
  // Ends the thread and closes both sides of the terminal: a tester still holding the path sees a
  // hang-up. Safe to call twice and without Start.
  void Stop();
  // False before Start, after Stop, and when the line failed.
  bool Running() const { return running_.load(); }
  std::string DevicePath() const;

  // Fault switches, for tests and the command-line tool.
  // No answers at all (the adapter still echoes), for the duration or until SetIgnitionOn. The
  // control unit loses its session and wakes up at 10400 bit/s.
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration = std::nullopt);
  void SetIgnitionOn();
  // The next n understood requests are answered 7F sid 21.
  void ReplyBusy(int requests);
  // The next n answers carry a checksum one too high.
  void CorruptChecksums(int responses);
  // These bytes go out before each of the next n answers.
  void InjectGarbage(std::vector<uint8_t> bytes, int responses = 1);
  void SetKeyBytes(std::array<uint8_t, 2> keyBytes);
  // Status bit 0 set and all flows zero while stopped.
  void SetEngineStopped(bool stopped);
  // The adapter is pulled out: the same as Stop, named for what a test means by it.
  void Unplug() { Stop(); }

  // What happened so far.
  std::vector<RequestRecord> Requests() const;
  std::vector<ServedSample> ServedSamples() const;
  uint32_t EcuLineRate() const;
  bool IgnitionOn() const;
  SimTime StartTime() const;
  // Waits until at least count requests have been received; false on timeout.
  bool WaitForRequests(size_t count, std::chrono::milliseconds timeout) const;
  // Why the line thread ended by itself; empty while it runs or after a plain Stop.
  std::string LineError() const;

 private:
  void Run();
  bool ReadFromTester(SimTime now);
  bool SendDue(SimTime now);
  bool WriteToTester(const uint8_t* bytes, size_t n);
  void Wake();
  void Fail(const char* what, int error = errno);

  const EcuSimConfig config_;

  mutable std::mutex mutex_;  // guards everything below up to the atomics
  mutable std::condition_variable recorded_;
  EcuLine line_;
  PtyPair pty_;
  int wakeFd_ = -1;
  SimTime startTime_{};
  bool started_ = false;
  std::string lineError_;

  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::thread thread_;
};

}  // namespace drunvale::sim
