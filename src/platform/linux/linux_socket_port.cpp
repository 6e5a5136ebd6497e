// SPDX-License-Identifier: GPL-3.0-or-later
#include <errno.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/deadline_ms.h"
#include "platform/linux/socket_port.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

// What a read or purge reports when the peer has closed its end: the same as a reset, since
// either way the adapter is gone and the link opens the port anew.
constexpr int kPeerClosed = ECONNRESET;

int PendingSocketError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

// The serial port's timeouts over a stream socket. The radio has no line rate, so bytes are
// taken as they come: no waiting for a frame's line time as on a real line.
class LinuxSocketPort final : public SerialPort {
 public:
  explicit LinuxSocketPort(int fd) : fd_(fd) {}
  ~LinuxSocketPort() override { close(fd_); }
  LinuxSocketPort(const LinuxSocketPort&) = delete;
  LinuxSocketPort& operator=(const LinuxSocketPort&) = delete;

  // The adapter's far side sets its own rate; only a rate the serial port refuses is refused.
  IoResult SetLine(uint32_t baud) override { return baud == 0 ? IoFailure(EINVAL) : IoResult{}; }
  void SetTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
  IoResult Purge() override;
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool) override { return false; }
  bool SetDtr(bool) override { return false; }

 private:
  const int fd_;
  SerialTimeouts timeouts_;
};

// What was sent is in the system's hands already: only the receive side has anything to drop.
// Only what is waiting now is dropped, so a peer that keeps sending can't keep Purge going.
IoResult LinuxSocketPort::Purge() {
  int waiting = 0;
  if (ioctl(fd_, FIONREAD, &waiting) != 0) return IoFailure(errno);
  uint8_t scratch[512];
  while (waiting > 0) {
    const size_t chunk = std::min(sizeof scratch, static_cast<size_t>(waiting));
    const ssize_t got = recv(fd_, scratch, chunk, MSG_DONTWAIT);
    if (got > 0) {
      waiting -= static_cast<int>(got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    break;
  }
  // A closed or reset connection fails here as in the read that would follow.
  const ssize_t peek = recv(fd_, scratch, 1, MSG_PEEK | MSG_DONTWAIT);
  if (peek == 0) return IoFailure(kPeerClosed);
  if (peek < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
    return IoFailure(errno);
  return {};
}

IoResult LinuxSocketPort::Write(const uint8_t* data, size_t n) {
  IoResult result;
  const auto deadline = Steady::now() + std::chrono::milliseconds(timeouts_.writeConstantMs +
                                                                  timeouts_.writePerByteMs * n);
  while (result.count < n) {
    // MSG_NOSIGNAL: a closed peer fails the write with EPIPE instead of killing the program.
    const ssize_t sent =
        send(fd_, data + result.count, n - result.count, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      result.count += static_cast<size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return IoFailure(errno, result.count);
    // The send buffer is full: wait for room until the write's time is up.
    const int waitMs = MsUntil(deadline);
    if (waitMs == 0) return result;
    pollfd p{fd_, POLLOUT, 0};
    const int rc = poll(&p, 1, waitMs);
    if (rc < 0 && errno != EINTR) return IoFailure(errno, result.count);
    if (rc > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
      const int error = PendingSocketError(fd_);
      return IoFailure(error != 0 ? error : EPIPE, result.count);
    }
  }
  return result;
}

IoResult LinuxSocketPort::Read(uint8_t* data, size_t n) {
  IoResult result;
  const auto totalDeadline =
      Steady::now() +
      std::chrono::milliseconds(timeouts_.totalConstantMs + timeouts_.totalPerByteMs * n);
  // Until the first byte only the total limit runs; after each byte the gap limit runs too.
  auto deadline = totalDeadline;
  while (result.count < n) {
    const int waitMs = MsUntil(deadline);
    pollfd p{fd_, POLLIN, 0};
    const int rc = poll(&p, 1, waitMs);
    if (rc < 0) {
      if (errno == EINTR) continue;
      return IoFailure(errno, result.count);
    }
    if (rc == 0) {
      if (waitMs == 0) break;
      continue;
    }
    if (p.revents & POLLNVAL) return IoFailure(EBADF, result.count);
    // A closed peer reads as the end of the stream, a reset one as an error: both end the read.
    const ssize_t got = recv(fd_, data + result.count, n - result.count, MSG_DONTWAIT);
    if (got > 0) {
      result.count += static_cast<size_t>(got);
      deadline =
          std::min(totalDeadline, Steady::now() + std::chrono::milliseconds(timeouts_.interByteMs));
      continue;
    }
    if (got == 0) return IoFailure(kPeerClosed, result.count);
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
      return IoFailure(errno, result.count);
    if (waitMs == 0) break;
  }
  return result;
}

}  // namespace

std::unique_ptr<SerialPort> MakeSocketPort(int fd) {
  // Requests and answers are short lines: each goes out at once instead of waiting to be
  // merged with the next. Without it the port still works, only slower.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return std::make_unique<LinuxSocketPort>(fd);
}

}  // namespace drunvale
