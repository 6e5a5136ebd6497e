// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_pipe.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "sim/ecu_line.h"

namespace drunvale::sim {

// Everything both ends touch, under one lock; the port keeps it alive after the pipe is gone.
struct EcuPipe::Shared {
  explicit Shared(const EcuSimConfig& config)
      : line(config, SimClock::now(), [this] { return testerRate; }) {}

  struct Arrival {
    uint8_t byte;
    SimTime at;
  };

  // Plays the control unit's time forward to now, one due instant after another, so that
  // every answer byte joins the receive queue stamped with the moment it was due.
  void PlayTo(SimTime now) {
    std::vector<uint8_t> due;
    while (auto next = line.NextDeadline()) {
      if (*next > now) break;
      Step(*next, due);
      if (line.NextDeadline() == next) break;  // nothing moved: never spin on one instant
    }
    Step(now, due);
  }

  void Step(SimTime at, std::vector<uint8_t>& due) {
    line.Advance(at);
    line.TakeDue(at, due);
    for (uint8_t byte : due)
      received.push_back({byte, at});
    due.clear();
  }

  std::mutex mutex;
  std::condition_variable changed;
  uint32_t testerRate = 0;
  EcuLine line;
  std::deque<Arrival> received;
  bool portOpen = false;
  bool unplugged = false;
};

class EcuPipe::Port final : public SerialPort {
 public:
  explicit Port(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  ~Port() override {
    std::lock_guard lock(shared_->mutex);
    shared_->portOpen = false;
  }
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  IoResult SetLine(uint32_t baud) override {
    std::lock_guard lock(shared_->mutex);
    if (baud == 0 || shared_->unplugged) return IoFailure(0);
    shared_->testerRate = baud;
    return {};
  }
  void SetTimeouts(const SerialTimeouts& timeouts) override {
    std::lock_guard lock(shared_->mutex);
    timeouts_ = timeouts;
  }
  IoResult Purge() override {
    std::lock_guard lock(shared_->mutex);
    if (shared_->unplugged) return IoFailure(0);
    shared_->PlayTo(SimClock::now());
    shared_->received.clear();
    return {};
  }
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  // The adapter's modem lines are there but drive nothing.
  bool SetRts(bool) override { return Present(); }
  bool SetDtr(bool) override { return Present(); }

 private:
  bool Present() {
    std::lock_guard lock(shared_->mutex);
    return !shared_->unplugged;
  }

  std::shared_ptr<Shared> shared_;
  SerialTimeouts timeouts_;  // under the shared lock
};

IoResult EcuPipe::Port::Write(const uint8_t* data, size_t n) {
  std::lock_guard lock(shared_->mutex);
  if (shared_->unplugged) return IoFailure(0);
  const SimTime now = SimClock::now();
  shared_->PlayTo(now);
  // The adapter hears its own transmitter: the echo is there before anything is answered.
  for (size_t i = 0; i < n; ++i)
    shared_->received.push_back({data[i], now});
  shared_->line.Hear(data, n, now);
  return {true, n};
}

// The timeouts of a real port: the total limit from the start, and after each byte the gap
// limit, counted from the moment the byte came.
IoResult EcuPipe::Port::Read(uint8_t* data, size_t n) {
  std::unique_lock lock(shared_->mutex);
  const SimTime total = SimClock::now() + std::chrono::milliseconds(
                                              timeouts_.totalConstantMs +
                                              static_cast<uint64_t>(timeouts_.totalPerByteMs) * n);
  SimTime deadline = total;
  IoResult result;
  while (true) {
    if (shared_->unplugged) return IoFailure(0, result.count);
    const SimTime now = SimClock::now();
    shared_->PlayTo(now);
    auto& received = shared_->received;
    while (result.count < n && !received.empty()) {
      data[result.count++] = received.front().byte;
      deadline =
          std::min(total, received.front().at + std::chrono::milliseconds(timeouts_.interByteMs));
      received.pop_front();
    }
    if (result.count == n || now >= deadline) return result;
    SimTime wake = deadline;
    if (auto next = shared_->line.NextDeadline()) wake = std::min(wake, *next);
    shared_->changed.wait_until(lock, wake);
  }
}

EcuPipe::EcuPipe(EcuSimConfig config) : shared_(std::make_shared<Shared>(config)) {}

EcuPipe::~EcuPipe() {
  Unplug();
}

OpenedPort EcuPipe::Open() {
  std::lock_guard lock(shared_->mutex);
  if (shared_->unplugged || shared_->portOpen) {
    return OpenedPort::Failed({shared_->unplugged ? OpenFailure::NoDevice : OpenFailure::Busy});
  }
  shared_->portOpen = true;
  shared_->PlayTo(SimClock::now());
  shared_->received.clear();
  return {std::make_unique<Port>(shared_), {}};
}

void EcuPipe::Unplug() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->unplugged = true;
  }
  shared_->changed.notify_all();
}

void EcuPipe::SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) {
  {
    std::lock_guard lock(shared_->mutex);
    const SimTime now = SimClock::now();
    shared_->PlayTo(now);
    shared_->line.Model().SetIgnitionOff(now, duration);
  }
  shared_->changed.notify_all();
}

void EcuPipe::SetIgnitionOn() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->PlayTo(SimClock::now());
    shared_->line.Model().SetIgnitionOn();
  }
  shared_->changed.notify_all();
}

std::vector<RequestRecord> EcuPipe::Requests() const {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(SimClock::now());
  return shared_->line.Requests();
}

std::vector<ServedSample> EcuPipe::ServedSamples() const {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(SimClock::now());
  return shared_->line.Samples();
}

}  // namespace drunvale::sim
