// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace drunvale {

// Outcome of one call on the port: ok is false when the port reported a failure (an unplugged
// adapter included), and systemError then holds what the system said (errno on Linux,
// GetLastError on Windows) for the message the user reads; count is what a read or a write
// transferred before it ended.
struct [[nodiscard]] IoResult {
  bool ok = true;
  size_t count = 0;
  int systemError = 0;

  explicit operator bool() const { return ok; }
};

inline IoResult IoFailure(int systemError, size_t count = 0) {
  return {false, count, systemError};
}

// Timeouts of the port, as the ECU link sets them: a read of n bytes ends when interByteMs pass
// between two bytes, or when totalConstantMs + totalPerByteMs * n pass in all, returning what
// has arrived; a write of n bytes gives up after writeConstantMs + writePerByteMs * n.
struct SerialTimeouts {
  uint32_t interByteMs = 50;
  uint32_t totalConstantMs = 100;
  uint32_t totalPerByteMs = 100;
  uint32_t writeConstantMs = 100;
  uint32_t writePerByteMs = 100;
};

// Raw I/O on an open serial device. Framing, pacing and retries live above it.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Programs the whole line state at once: the rate, raw 8N1, no flow control of any kind,
  // no special characters, and the modem lines left to SetRts and SetDtr.
  // Rate 0 is refused.
  virtual IoResult SetLine(uint32_t baud) = 0;
  virtual void SetTimeouts(const SerialTimeouts& timeouts) = 0;
  // Discards both the transmit and the receive queue.
  virtual IoResult Purge() = 0;
  virtual IoResult Write(const uint8_t* data, size_t n) = 0;
  virtual IoResult Read(uint8_t* data, size_t n) = 0;
  // False when the line could not be moved; a device without modem lines (a pseudo-terminal)
  // answers false and goes on working. Safe to call from another thread while a read or write
  // waits (DTR may be raised from the dialog thread).
  virtual bool SetRts(bool on) = 0;
  virtual bool SetDtr(bool on) = 0;
};

// Why a port would not open, in the terms a user can act on. BadName and Unreachable are for
// network ports: a socket:// name that is not well formed, and a host that refused, did not
// answer in time, could not be reached or whose name is not known.
enum class OpenFailure { NoDevice, NoPermission, Busy, NotSerialPort, BadName, Unreachable, Other };

struct OpenError {
  OpenFailure failure = OpenFailure::Other;
  int systemError = 0;  // errno on Linux, GetLastError on Windows
};

// A port opened, or why it would not.
struct [[nodiscard]] OpenedPort {
  std::unique_ptr<SerialPort> port;  // null when it failed
  OpenError error;                   // why, when it failed

  static OpenedPort Failed(OpenError why) { return {nullptr, why}; }
};

// Opening a port by path.
using SerialPortOpener = std::function<OpenedPort(const std::string& path)>;

// The real opener (exclusive, raw, low-latency where the driver offers it). A socket://HOST:PORT
// name (platform/socket_name.h) opens a TCP connection instead, within kSocketOpenLimitMs: it
// reads and writes by the same rules and timeouts, SetLine succeeds and does nothing, there are
// no modem lines, Purge drops what has arrived unread, and the peer closing or resetting the
// connection is a failure, as a pulled adapter is.
OpenedPort OpenSystemSerialPort(const std::string& path);

// The port a fresh installation names: the first USB serial converter on Linux, COM1 on Windows.
std::string DefaultSerialPort();
// Where names that stay with one adapter are found, for the help text; empty where the
// system's own names already do.
std::string StablePortNamesHint();

}  // namespace drunvale
