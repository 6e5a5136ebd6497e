// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_simulator.h"

#include <poll.h>
#include <string.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "sim/line_rate.h"

namespace drunvale::sim {
namespace {

constexpr size_t kReadChunk = 256;

}  // namespace

// The control unit hears the rate the tester set: on a pseudo-terminal the master reports the
// slave's settings.
EcuSimulator::EcuSimulator(EcuSimConfig config)
    : config_(std::move(config)),
      line_(config_, SimClock::now(), [this] { return ReadLineRate(pty_.master).value_or(0); }) {}

EcuSimulator::~EcuSimulator() {
  Stop();
}

bool EcuSimulator::Start(std::string* error) {
  std::lock_guard lock(mutex_);
  if (started_ || stopRequested_) {
    if (error) *error = "the simulator runs only once";
    return false;
  }
  started_ = true;
  if (!OpenRawPty(&pty_, error)) return false;
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) {
    if (error) *error = std::string("eventfd: ") + strerror(errno);
    ClosePty(&pty_);
    return false;
  }
  startTime_ = SimClock::now();
  line_.SetStart(startTime_);
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void EcuSimulator::Stop() {
  stopRequested_ = true;
  Wake();
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  running_ = false;
  ClosePty(&pty_);
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
}

void EcuSimulator::Wake() {
  std::lock_guard lock(mutex_);
  if (wakeFd_ < 0) return;
  uint64_t one = 1;
  // A full counter already wakes the thread, so a failed write loses nothing.
  [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

std::string EcuSimulator::DevicePath() const {
  std::lock_guard lock(mutex_);
  return pty_.slavePath;
}

void EcuSimulator::SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) {
  {
    std::lock_guard lock(mutex_);
    line_.Model().SetIgnitionOff(SimClock::now(), duration);
  }
  Wake();
}

void EcuSimulator::SetIgnitionOn() {
  {
    std::lock_guard lock(mutex_);
    line_.Model().SetIgnitionOn();
  }
  Wake();
}

void EcuSimulator::ReplyBusy(int requests) {
  std::lock_guard lock(mutex_);
  line_.Model().ReplyBusy(requests);
}

void EcuSimulator::CorruptChecksums(int responses) {
  std::lock_guard lock(mutex_);
  line_.Model().CorruptChecksums(responses);
}

void EcuSimulator::InjectGarbage(std::vector<uint8_t> bytes, int responses) {
  std::lock_guard lock(mutex_);
  line_.Model().InjectGarbage(std::move(bytes), responses);
}

void EcuSimulator::SetKeyBytes(std::array<uint8_t, 2> keyBytes) {
  std::lock_guard lock(mutex_);
  line_.Model().SetKeyBytes(keyBytes);
}

void EcuSimulator::SetEngineStopped(bool stopped) {
  std::lock_guard lock(mutex_);
  line_.Model().SetEngineStopped(stopped);
}

std::vector<RequestRecord> EcuSimulator::Requests() const {
  std::lock_guard lock(mutex_);
  return line_.Requests();
}

std::vector<ServedSample> EcuSimulator::ServedSamples() const {
  std::lock_guard lock(mutex_);
  return line_.Samples();
}

uint32_t EcuSimulator::EcuLineRate() const {
  std::lock_guard lock(mutex_);
  return line_.Model().LineRate();
}

bool EcuSimulator::IgnitionOn() const {
  std::lock_guard lock(mutex_);
  return line_.Model().IgnitionOn();
}

SimTime EcuSimulator::StartTime() const {
  std::lock_guard lock(mutex_);
  return startTime_;
}

bool EcuSimulator::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return recorded_.wait_for(lock, timeout, [&] { return line_.Requests().size() >= count; });
}

std::string EcuSimulator::LineError() const {
  std::lock_guard lock(mutex_);
  return lineError_;
}

void EcuSimulator::Fail(const char* what, int error) {
  std::lock_guard lock(mutex_);
  lineError_ = std::string(what) + ": " + strerror(error);
  running_ = false;
}

// The file descriptors stay fixed while the thread runs: Start opens them before it and Stop
// closes them after the join.
void EcuSimulator::Run() {
  while (!stopRequested_.load()) {
    std::optional<SimTime> deadline;
    {
      std::lock_guard lock(mutex_);
      deadline = line_.NextDeadline();
    }
    timespec wait{};
    timespec* timeout = nullptr;
    if (deadline) {
      auto left = std::max(SimClock::duration::zero(), *deadline - SimClock::now());
      auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      wait.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
      wait.tv_nsec = static_cast<long>(ns % 1'000'000'000);
      timeout = &wait;
    }
    pollfd fds[2] = {{pty_.master, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (ppoll(fds, 2, timeout, nullptr) < 0 && errno != EINTR) return Fail("ppoll");
    if (fds[1].revents & POLLIN) {
      uint64_t count;
      [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
    }
    SimTime now = SimClock::now();
    if (fds[0].revents & POLLIN) {
      if (!ReadFromTester(now)) return;
    } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      return Fail("pseudo-terminal", EIO);
    }
    {
      std::lock_guard lock(mutex_);
      line_.Advance(now);
    }
    recorded_.notify_all();
    if (!SendDue(SimClock::now())) return;
  }
}

bool EcuSimulator::ReadFromTester(SimTime now) {
  uint8_t buffer[kReadChunk];
  ssize_t n = read(pty_.master, buffer, sizeof buffer);
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return true;
    Fail("read");
    return false;
  }
  // The adapter hears its own transmitter: the echo goes back before anything is answered.
  if (!WriteToTester(buffer, static_cast<size_t>(n))) return false;
  {
    std::lock_guard lock(mutex_);
    line_.Hear(buffer, static_cast<size_t>(n), now);
  }
  recorded_.notify_all();
  return true;
}

// The records are settled under the lock before the bytes leave, so a tester that has just read
// the last byte of an answer finds them complete.
bool EcuSimulator::SendDue(SimTime now) {
  std::vector<uint8_t> due;
  {
    std::lock_guard lock(mutex_);
    line_.TakeDue(now, due);
  }
  return due.empty() || WriteToTester(due.data(), due.size());
}

bool EcuSimulator::WriteToTester(const uint8_t* bytes, size_t n) {
  while (n > 0) {
    ssize_t written = write(pty_.master, bytes, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      // A tester that does not read fills the terminal's queue; the line drops what does not fit.
      if (errno == EAGAIN) return true;
      Fail("write");
      return false;
    }
    bytes += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace drunvale::sim
