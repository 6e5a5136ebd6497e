// SPDX-License-Identifier: GPL-3.0-or-later
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/deadline_ms.h"
#include "platform/linux/socket_port.h"
#include "platform/linux/termios2_line.h"
#include "platform/serial_port.h"
#include "platform/socket_name.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

class LinuxSerialPort final : public SerialPort {
 public:
  explicit LinuxSerialPort(int fd) : fd_(fd) {}
  ~LinuxSerialPort() override {
    ioctl(fd_, TIOCNXCL);
    close(fd_);
  }
  LinuxSerialPort(const LinuxSerialPort&) = delete;
  LinuxSerialPort& operator=(const LinuxSerialPort&) = delete;

  IoResult SetLine(uint32_t baud) override {
    if (const int error = WriteRawLineState(fd_, baud); error != 0) return IoFailure(error);
    baud_ = baud;
    return {};
  }
  void SetTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
  IoResult Purge() override { return tcflush(fd_, TCIOFLUSH) == 0 ? IoResult{} : IoFailure(errno); }
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool on) override { return SetModemLine(TIOCM_RTS, on); }
  bool SetDtr(bool on) override { return SetModemLine(TIOCM_DTR, on); }

 private:
  // A pseudo-terminal has no modem lines (ENOTTY): the caller hears false, nothing else changes.
  bool SetModemLine(int bit, bool on) { return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0; }

  // Sleeps while the rest of a read is still on the line, so a frame costs one wake-up for
  // its first bytes and one for the rest instead of one per byte.
  void AwaitLineTime(size_t bytes, Steady::time_point deadline) const;

  const int fd_;
  SerialTimeouts timeouts_;
  uint32_t baud_ = 0;  // 0 until SetLine: then bytes are taken as they come
};

void LinuxSerialPort::AwaitLineTime(size_t bytes, Steady::time_point deadline) const {
  if (baud_ == 0) return;
  // Ten bit times a byte: start bit, eight data bits, stop bit.
  const auto lineTime = std::chrono::microseconds(bytes * 10'000'000 / baud_);
  std::this_thread::sleep_until(std::min(Steady::now() + lineTime, deadline));
}

IoResult LinuxSerialPort::Write(const uint8_t* data, size_t n) {
  IoResult result;
  const auto deadline = Steady::now() + std::chrono::milliseconds(timeouts_.writeConstantMs +
                                                                  timeouts_.writePerByteMs * n);
  while (result.count < n) {
    ssize_t written = write(fd_, data + result.count, n - result.count);
    if (written > 0) {
      result.count += static_cast<size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN) return IoFailure(errno, result.count);
    // The transmit queue is full: wait for room until the write's time is up.
    int waitMs = MsUntil(deadline);
    if (waitMs == 0) return result;
    pollfd p{fd_, POLLOUT, 0};
    int rc = poll(&p, 1, waitMs);
    if (rc < 0 && errno != EINTR) return IoFailure(errno, result.count);
    // The adapter is gone: the write would fail with EIO.
    if (rc > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return IoFailure(EIO, result.count);
  }
  return result;
}

IoResult LinuxSerialPort::Read(uint8_t* data, size_t n) {
  IoResult result;
  const auto totalDeadline =
      Steady::now() +
      std::chrono::milliseconds(timeouts_.totalConstantMs + timeouts_.totalPerByteMs * n);
  // Until the first byte only the total limit runs; after each byte the gap limit runs too.
  auto deadline = totalDeadline;
  while (result.count < n) {
    // Once bytes come, the rest follow at the line's pace: wait for their time, then look.
    // The limits still hold: the sleep ends at the deadline, and what came meanwhile is read
    // before the deadline ends the read.
    if (result.count > 0) AwaitLineTime(n - result.count, deadline);
    const int waitMs = MsUntil(deadline);
    pollfd p{fd_, POLLIN, 0};
    int rc = poll(&p, 1, waitMs);
    if (rc < 0) {
      if (errno == EINTR) continue;
      return IoFailure(errno, result.count);
    }
    if (rc == 0) {
      if (waitMs == 0) break;
      continue;
    }
    if (p.revents & POLLNVAL) return IoFailure(EBADF, result.count);
    const bool hungUp = (p.revents & (POLLHUP | POLLERR)) != 0;
    ssize_t got = read(fd_, data + result.count, n - result.count);
    if (got > 0) {
      result.count += static_cast<size_t>(got);
      deadline =
          std::min(totalDeadline, Steady::now() + std::chrono::milliseconds(timeouts_.interByteMs));
      continue;
    }
    if (got < 0 && errno != EAGAIN && errno != EINTR) return IoFailure(errno, result.count);
    // With VMIN = 0 an empty read is normal; only the poll flags tell an unplugged adapter,
    // whose next write fails with EIO.
    if (hungUp) return IoFailure(EIO, result.count);
    if (waitMs == 0) break;
  }
  return result;
}

OpenFailure Classify(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::NoDevice;
    case EBUSY:
    case EWOULDBLOCK:  // the lock another program holds
      return OpenFailure::Busy;
    case EACCES:
    case EPERM:
      return OpenFailure::NoPermission;
    case ENOTTY:
      return OpenFailure::NotSerialPort;
    default:
      return OpenFailure::Other;
  }
}

// Raw mode at once, keeping the rate: a line left in canonical mode with echo would send the
// adapter's bytes straight back before SetLine runs.
bool MakeRaw(int fd) {
  termios line;
  if (tcgetattr(fd, &line) != 0) return false;
  cfmakeraw(&line);
  line.c_cflag |= CLOCAL | CREAD;
  line.c_cflag &= ~(CRTSCTS | HUPCL);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &line) == 0;
}

}  // namespace

OpenedPort OpenSystemSerialPort(const std::string& path) {
  if (IsSocketName(path)) return OpenSocketPort(path);
  auto fail = [](int code) { return OpenedPort::Failed({Classify(code), code}); };
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  auto failOpen = [&](int code) {
    close(fd);
    return fail(code);
  };
  if (!isatty(fd)) return failOpen(ENOTTY);
  // TIOCEXCL keeps other users out but not root; the lock keeps out every program that
  // locks as well, root included.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return failOpen(errno);
  if (ioctl(fd, TIOCEXCL) != 0) return failOpen(errno);
  if (!MakeRaw(fd)) return failOpen(errno);
  TrySetLowLatency(fd);
  return {std::make_unique<LinuxSerialPort>(fd), {}};
}

// Most K-line adapters today are USB serial converters, so that is the first port to try.
std::string DefaultSerialPort() {
  return "/dev/ttyUSB0";
}

std::string StablePortNamesHint() {
  return "a stable name is under /dev/serial/by-id";
}

}  // namespace drunvale
