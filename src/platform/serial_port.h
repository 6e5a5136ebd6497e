#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace drunvale {

// Outcome of one read or write: ok is false when the port reported a failure (an unplugged
// adapter included); count is what was transferred before the call ended.
struct IoResult {
  bool ok = true;
  size_t count = 0;
};

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
  virtual bool SetLine(uint32_t baud) = 0;
  virtual void SetTimeouts(const SerialTimeouts& timeouts) = 0;
  // Discards both the transmit and the receive queue.
  virtual bool Purge() = 0;
  virtual IoResult Write(const uint8_t* data, size_t n) = 0;
  virtual IoResult Read(uint8_t* data, size_t n) = 0;
  // False when the line could not be moved; a device without modem lines (a pseudo-terminal)
  // answers false and goes on working. Safe to call from another thread while a read or write
  // waits (DTR may be raised from the dialog thread).
  virtual bool SetRts(bool on) = 0;
  virtual bool SetDtr(bool on) = 0;
};

// Opening a port by path; error gets a message for the user-facing log when it fails.
using SerialPortOpener =
    std::function<std::unique_ptr<SerialPort>(const std::string& path, std::string* error)>;

// The real opener (exclusive, raw, low-latency where the driver offers it).
std::unique_ptr<SerialPort> OpenSystemSerialPort(const std::string& path, std::string* error);

// The port a fresh installation names: the first USB serial converter on Linux, COM1 on Windows.
std::string DefaultSerialPort();

}  // namespace drunvale
