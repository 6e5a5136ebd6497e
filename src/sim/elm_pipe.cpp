// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_pipe.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "sim/elm_chip.h"

namespace drunvale::sim {

using std::chrono::milliseconds;

// Everything both ends touch, under one lock; the port keeps it alive after the pipe is gone.
struct ElmPipe::Shared {
  Shared(const ElmSimConfig& elm, const EcuSimConfig& ecu, TickClock& tickClock)
      : clock(tickClock),
        lastTick(tickClock.NowMs()),
        tickTime(SimClock::now()),
        now(tickTime),
        chip(elm, ecu, tickTime) {}

  // The present: the tick clock's, plus what a wait moved past its last whole millisecond.
  SimTime Now() {
    const uint32_t tick = clock.NowMs();
    tickTime += milliseconds(static_cast<uint32_t>(tick - lastTick));
    lastTick = tick;
    now = std::max(now, tickTime);
    return now;
  }

  // Lets time pass until `until`: the clock sleeps the whole milliseconds without the lock, the
  // rest is kept here.
  void WaitUntil(std::unique_lock<std::mutex>& lock, SimTime until) {
    if (until <= Now()) return;
    const auto whole = std::chrono::floor<milliseconds>(until - tickTime).count();
    if (whole > 0) {
      lock.unlock();
      clock.SleepMs(static_cast<uint32_t>(whole));
      lock.lock();
    }
    Now();
    if (until - tickTime < milliseconds(1)) now = std::max(now, until);
  }

  void PlayTo(SimTime at) {
    chip.Advance(at);
    chip.TakeDue(at, hostRate, received);
    // A dropping peer lets its last answer out before the connection goes.
    if (chip.DropWanted() && !chip.OutputPending()) {
      chip.ClearDrop();
      ++connection;
    }
  }

  bool Gone(uint64_t portConnection) const { return unplugged || portConnection != connection; }

  std::mutex mutex;
  TickClock& clock;
  uint32_t lastTick;
  SimTime tickTime;
  SimTime now;
  ElmChip chip;
  uint32_t hostRate = 0;
  std::vector<TimedByte> received;
  bool portOpen = false;
  bool unplugged = false;
  uint64_t connection = 0;  // moves on when the adapter is pulled or its peer drops
};

class ElmPipe::Port final : public SerialPort {
 public:
  Port(std::shared_ptr<Shared> shared, uint64_t connection)
      : shared_(std::move(shared)), connection_(connection) {}
  ~Port() override {
    std::lock_guard lock(shared_->mutex);
    shared_->portOpen = false;
  }
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  IoResult SetLine(uint32_t baud) override {
    std::lock_guard lock(shared_->mutex);
    if (baud == 0 || shared_->Gone(connection_)) return IoFailure(0);
    shared_->PlayTo(shared_->Now());
    shared_->hostRate = baud;
    return {};
  }
  void SetTimeouts(const SerialTimeouts& timeouts) override {
    std::lock_guard lock(shared_->mutex);
    timeouts_ = timeouts;
  }
  IoResult Purge() override {
    std::lock_guard lock(shared_->mutex);
    if (shared_->Gone(connection_)) return IoFailure(0);
    shared_->PlayTo(shared_->Now());
    shared_->received.clear();
    return {};
  }
  IoResult Write(const uint8_t* data, size_t n) override {
    std::lock_guard lock(shared_->mutex);
    if (shared_->Gone(connection_)) return IoFailure(0);
    const SimTime now = shared_->Now();
    shared_->PlayTo(now);
    shared_->chip.Receive(data, n, now, shared_->hostRate);
    return {true, n};
  }
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool) override { return Present(); }
  bool SetDtr(bool) override { return Present(); }

 private:
  bool Present() {
    std::lock_guard lock(shared_->mutex);
    return !shared_->Gone(connection_);
  }

  std::shared_ptr<Shared> shared_;
  const uint64_t connection_;
  SerialTimeouts timeouts_;
};

// The timeouts of a real port: the total limit from the start, and after each byte the gap
// limit, counted from the moment the byte came. A dropped peer's last bytes are still read.
IoResult ElmPipe::Port::Read(uint8_t* data, size_t n) {
  std::unique_lock lock(shared_->mutex);
  Shared& s = *shared_;
  const SimTime total = s.Now() + milliseconds(timeouts_.totalConstantMs +
                                               static_cast<uint64_t>(timeouts_.totalPerByteMs) * n);
  SimTime deadline = total;
  IoResult result;
  while (true) {
    if (s.unplugged) return IoFailure(0, result.count);
    const SimTime now = s.Now();
    if (!s.Gone(connection_)) s.PlayTo(now);
    size_t taken = 0;
    while (result.count < n && taken < s.received.size()) {
      const TimedByte& byte = s.received[taken++];
      data[result.count++] = byte.byte;
      deadline = std::min(total, byte.at + milliseconds(timeouts_.interByteMs));
    }
    s.received.erase(s.received.begin(), s.received.begin() + static_cast<ptrdiff_t>(taken));
    if (s.Gone(connection_)) {
      return result.count > 0 ? result : IoFailure(0);
    }
    if (result.count == n || now >= deadline) return result;
    SimTime wake = deadline;
    if (std::optional<SimTime> next = s.chip.NextDeadline()) wake = std::min(wake, *next);
    s.WaitUntil(lock, wake);
  }
}

ElmPipe::ElmPipe(ElmSimConfig elm, EcuSimConfig ecu, TickClock& clock)
    : shared_(std::make_shared<Shared>(elm, ecu, clock)) {}

ElmPipe::~ElmPipe() {
  Unplug();
}

OpenedPort ElmPipe::Open() {
  std::lock_guard lock(shared_->mutex);
  if (shared_->unplugged || shared_->portOpen) {
    return OpenedPort::Failed({shared_->unplugged ? OpenFailure::NoDevice : OpenFailure::Busy});
  }
  shared_->portOpen = true;
  shared_->PlayTo(shared_->Now());
  shared_->received.clear();
  return {std::make_unique<Port>(shared_, shared_->connection), {}};
}

void ElmPipe::Unplug() {
  std::lock_guard lock(shared_->mutex);
  shared_->unplugged = true;
  ++shared_->connection;
}

void ElmPipe::Replug() {
  std::lock_guard lock(shared_->mutex);
  const SimTime now = shared_->Now();
  shared_->PlayTo(now);
  if (!shared_->unplugged) return;
  shared_->unplugged = false;
  shared_->received.clear();
  shared_->chip.PowerUp(now);
}

void ElmPipe::SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) {
  std::lock_guard lock(shared_->mutex);
  const SimTime now = shared_->Now();
  shared_->PlayTo(now);
  shared_->chip.Unit().Model().SetIgnitionOff(now, duration);
}

void ElmPipe::SetIgnitionOn() {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(shared_->Now());
  shared_->chip.Unit().Model().SetIgnitionOn();
}

std::vector<RequestRecord> ElmPipe::Requests() const {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(shared_->Now());
  return shared_->chip.Unit().Requests();
}

std::vector<ServedSample> ElmPipe::ServedSamples() const {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(shared_->Now());
  return shared_->chip.Unit().Samples();
}

std::vector<ObdServedSample> ElmPipe::ObdSamples() const {
  std::lock_guard lock(shared_->mutex);
  shared_->PlayTo(shared_->Now());
  const ObdCar* car = shared_->chip.Car();
  return car ? car->Served() : std::vector<ObdServedSample>{};
}

}  // namespace drunvale::sim
