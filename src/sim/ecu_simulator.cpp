#include "sim/ecu_simulator.h"

#include <poll.h>
#include <string.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sim/line_rate.h"

namespace drunvale::sim {
namespace {

constexpr size_t kReadChunk = 256;

SimClock::duration ByteTime(uint32_t rate) {
  // Start bit, eight data bits, stop bit.
  return std::chrono::duration_cast<SimClock::duration>(std::chrono::nanoseconds(
      rate == 0 ? 0 : static_cast<int64_t>(10'000'000'000LL / static_cast<int64_t>(rate))));
}

std::optional<SimTime> Earlier(std::optional<SimTime> a, std::optional<SimTime> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace

EcuSimulator::EcuSimulator(EcuSimConfig config)
    : config_(std::move(config)), model_(config_, SimClock::now()), assembler_(config_.frameGap) {}

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
  model_.SetStart(startTime_);
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
    model_.SetIgnitionOff(SimClock::now(), duration);
  }
  Wake();
}

void EcuSimulator::SetIgnitionOn() {
  {
    std::lock_guard lock(mutex_);
    model_.SetIgnitionOn();
  }
  Wake();
}

void EcuSimulator::ReplyBusy(int requests) {
  std::lock_guard lock(mutex_);
  model_.ReplyBusy(requests);
}

void EcuSimulator::CorruptChecksums(int responses) {
  std::lock_guard lock(mutex_);
  model_.CorruptChecksums(responses);
}

void EcuSimulator::InjectGarbage(std::vector<uint8_t> bytes, int responses) {
  std::lock_guard lock(mutex_);
  model_.InjectGarbage(std::move(bytes), responses);
}

void EcuSimulator::SetKeyBytes(std::array<uint8_t, 2> keyBytes) {
  std::lock_guard lock(mutex_);
  model_.SetKeyBytes(keyBytes);
}

void EcuSimulator::SetEngineStopped(bool stopped) {
  std::lock_guard lock(mutex_);
  model_.SetEngineStopped(stopped);
}

std::vector<RequestRecord> EcuSimulator::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<ServedSample> EcuSimulator::ServedSamples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

uint32_t EcuSimulator::EcuLineRate() const {
  std::lock_guard lock(mutex_);
  return model_.LineRate();
}

bool EcuSimulator::IgnitionOn() const {
  std::lock_guard lock(mutex_);
  return model_.IgnitionOn();
}

SimTime EcuSimulator::StartTime() const {
  std::lock_guard lock(mutex_);
  return startTime_;
}

bool EcuSimulator::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return recorded_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
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
    std::optional<SimTime> deadline = NextDeadline();
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
    if (auto partial = assembler_.Expire(now)) HandleFrame(*partial, now);
    {
      std::lock_guard lock(mutex_);
      model_.Advance(now);
    }
    if (!SendDue(SimClock::now())) return;
  }
}

std::optional<SimTime> EcuSimulator::NextDeadline() {
  std::optional<SimTime> next = assembler_.Deadline();
  if (!outgoing_.empty()) {
    const Transmission& tx = outgoing_.front();
    next = Earlier(next, tx.start + tx.byteTime * static_cast<int64_t>(tx.sent));
  }
  std::lock_guard lock(mutex_);
  return Earlier(next, model_.NextDeadline());
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
  for (ssize_t i = 0; i < n; ++i) {
    if (auto frame = assembler_.Push(buffer[i], now)) HandleFrame(*frame, now);
  }
  return true;
}

void EcuSimulator::HandleFrame(const ReceivedFrame& frame, SimTime now) {
  uint32_t testerRate = ReadLineRate(pty_.master).value_or(0);
  {
    std::lock_guard lock(mutex_);
    EcuReaction reaction = model_.Receive(frame, testerRate, now);
    requests_.push_back(std::move(reaction.record));
    if (!reaction.transmit.empty()) {
      Transmission tx;
      tx.bytes = std::move(reaction.transmit);
      tx.start = now + config_.responseDelay;
      if (!outgoing_.empty()) {
        const Transmission& last = outgoing_.back();
        tx.start = std::max(tx.start,
                            last.start + last.byteTime * static_cast<int64_t>(last.bytes.size()));
      }
      if (config_.pacing) tx.byteTime = ByteTime(model_.LineRate());
      tx.powerCycle = model_.PowerCycle();
      tx.rateAfter = reaction.rateAfter;
      if (reaction.sample) {
        tx.sampleIndex = samples_.size();
        samples_.push_back(*reaction.sample);
      }
      outgoing_.push_back(std::move(tx));
    }
  }
  recorded_.notify_all();
}

bool EcuSimulator::SendDue(SimTime now) {
  while (!outgoing_.empty()) {
    Transmission& tx = outgoing_.front();
    if (now < tx.start) return true;
    size_t due = tx.bytes.size();
    if (tx.byteTime.count() > 0) {
      auto slots = static_cast<size_t>((now - tx.start) / tx.byteTime) + 1;
      due = std::min(due, slots);
    }
    if (due <= tx.sent) return true;
    bool last = due == tx.bytes.size();
    {
      std::lock_guard lock(mutex_);
      if (!model_.IgnitionOn() || model_.PowerCycle() != tx.powerCycle) {
        // The power went while the answer was on its way: the rest never comes.
        outgoing_.pop_front();
        continue;
      }
      // Settle the records before the last byte leaves, so a tester that has just read it finds
      // them complete. Nothing can reach the control unit between the two.
      if (last && tx.rateAfter) model_.SwitchLineRate(*tx.rateAfter, now);
      if (last && tx.sampleIndex) {
        samples_[*tx.sampleIndex].sentAt = now;
        samples_[*tx.sampleIndex].sent = true;
      }
    }
    if (!WriteToTester(tx.bytes.data() + tx.sent, due - tx.sent)) return false;
    tx.sent = due;
    if (!last) return true;
    outgoing_.pop_front();
  }
  return true;
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
