// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_host_stream.h"

#include <poll.h>
#include <string.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sim/line_rate.h"

namespace drunvale::sim {

std::unique_ptr<PtyHostStream> PtyHostStream::Open(std::string* error) {
  std::unique_ptr<PtyHostStream> stream(new PtyHostStream());
  if (!OpenRawPty(&stream->pty_, error)) return nullptr;
  stream->wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (stream->wakeFd_ < 0) {
    if (error) *error = std::string("eventfd: ") + strerror(errno);
    return nullptr;
  }
  return stream;
}

PtyHostStream::~PtyHostStream() {
  ClosePty(&pty_);
  if (wakeFd_ >= 0) close(wakeFd_);
}

bool PtyHostStream::Fail(const char* what) {
  error_ = std::string(what) + ": " + strerror(errno);
  return false;
}

HostStream::Event PtyHostStream::Wait(std::optional<SimTime> deadline) {
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
  int ready = ppoll(fds, 2, timeout, nullptr);
  if (ready < 0) {
    if (errno == EINTR) return Event::Woken;
    Fail("ppoll");
    return Event::Failed;
  }
  if (fds[1].revents & POLLIN) {
    uint64_t count;
    [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
  }
  if (fds[0].revents & POLLIN) return Event::Readable;
  if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
    errno = EIO;
    Fail("pseudo-terminal");
    return Event::Failed;
  }
  return ready == 0 ? Event::Timeout : Event::Woken;
}

bool PtyHostStream::Read(std::vector<uint8_t>& bytes) {
  uint8_t buffer[256];
  while (true) {
    ssize_t n = read(pty_.master, buffer, sizeof buffer);
    if (n > 0) {
      bytes.insert(bytes.end(), buffer, buffer + n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    return n < 0 ? Fail("read") : true;
  }
}

bool PtyHostStream::Write(const uint8_t* bytes, size_t n) {
  while (n > 0) {
    ssize_t written = write(pty_.master, bytes, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      // A tester that does not read fills the terminal's queue; the rest is lost as on a line.
      if (errno == EAGAIN) return true;
      return Fail("write");
    }
    bytes += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

uint32_t PtyHostStream::HostRate() {
  return ReadLineRate(pty_.master).value_or(0);
}

void PtyHostStream::Wake() {
  uint64_t one = 1;
  // A full counter already wakes the thread, so a failed write loses nothing.
  [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

}  // namespace drunvale::sim
