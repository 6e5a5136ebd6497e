// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <atomic>

#include "platform/serial_port.h"
#include "platform/socket_name.h"
#include "platform/windows/com_device.h"
#include "platform/windows/socket_port.h"

namespace drunvale {
namespace {

// Synchronous I/O on a comm handle: ReadFile and WriteFile block until the COMMTIMEOUTS end
// them. EscapeCommFunction from another thread (DTR from the dialog thread) waits until a
// pending read or write is over, at most one read timeout, and never fails because of it.
class WinSerialPort final : public SerialPort {
 public:
  explicit WinSerialPort(HANDLE handle) : handle_(handle) {}
  ~WinSerialPort() override { CloseHandle(handle_); }
  WinSerialPort(const WinSerialPort&) = delete;
  WinSerialPort& operator=(const WinSerialPort&) = delete;

  IoResult SetLine(uint32_t baud) override;
  void SetTimeouts(const SerialTimeouts& timeouts) override;
  IoResult Purge() override {
    return PurgeComm(handle_, PURGE_TXCLEAR | PURGE_RXCLEAR) ? IoResult{} : Failed();
  }
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool on) override { return MoveLine(rts_, on, on ? SETRTS : CLRRTS); }
  bool SetDtr(bool on) override { return MoveLine(dtr_, on, on ? SETDTR : CLRDTR); }

 private:
  static IoResult Failed(size_t count = 0) {
    return IoFailure(static_cast<int>(GetLastError()), count);
  }
  // A device without modem lines (a pseudo-terminal under Wine answers error 50) fails here
  // and goes on working; a pulled adapter fails here too, and its next read or write tells.
  bool MoveLine(std::atomic<bool>& state, bool on, DWORD function) {
    if (!EscapeCommFunction(handle_, function)) return false;
    state = on;
    return true;
  }

  const HANDLE handle_;
  std::atomic<bool> rts_{false};
  std::atomic<bool> dtr_{false};
};

IoResult WinSerialPort::SetLine(uint32_t baud) {
  if (baud == 0) return IoFailure(ERROR_INVALID_PARAMETER);
  // Written whole, never read and modified: every field not named here is zero.
  DCB line{};
  line.DCBlength = sizeof line;
  line.BaudRate = baud;
  line.fBinary = TRUE;
  line.ByteSize = 8;
  line.Parity = NOPARITY;
  line.StopBits = ONESTOPBIT;
  // No hardware handshake; the lines stay where SetRts and SetDtr put them (DISABLE would drop
  // a raised DTR at every rate change, and some adapters take their power from it).
  line.fDtrControl = dtr_ ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  line.fRtsControl = rts_ ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  return SetCommState(handle_, &line) ? IoResult{} : Failed();
}

void WinSerialPort::SetTimeouts(const SerialTimeouts& timeouts) {
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = timeouts.interByteMs;
  t.ReadTotalTimeoutMultiplier = timeouts.totalPerByteMs;
  t.ReadTotalTimeoutConstant = timeouts.totalConstantMs;
  t.WriteTotalTimeoutMultiplier = timeouts.writePerByteMs;
  t.WriteTotalTimeoutConstant = timeouts.writeConstantMs;
  SetCommTimeouts(handle_, &t);
}

// A pulled USB adapter makes every call on the handle fail (ERROR_ACCESS_DENIED,
// ERROR_BAD_COMMAND, ERROR_GEN_FAILURE or ERROR_OPERATION_ABORTED, by driver); with
// fAbortOnError off nothing else fails a read or write, so any failure is the port's.
IoResult WinSerialPort::Write(const uint8_t* data, size_t n) {
  DWORD written = 0;
  if (!WriteFile(handle_, data, static_cast<DWORD>(n), &written, nullptr)) return Failed(written);
  return {true, written};
}

IoResult WinSerialPort::Read(uint8_t* data, size_t n) {
  DWORD got = 0;
  if (!ReadFile(handle_, data, static_cast<DWORD>(n), &got, nullptr)) return Failed(got);
  return {true, got};
}

OpenError Classify(DWORD error) {
  OpenFailure failure = OpenFailure::Other;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
      failure = OpenFailure::NoDevice;
      break;
    // Another program holding the port exclusively shows as access denied.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      failure = OpenFailure::Busy;
      break;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
      failure = OpenFailure::NotSerialPort;
      break;
  }
  return {failure, static_cast<int>(error)};
}

}  // namespace

OpenedPort OpenSystemSerialPort(const std::string& path) {
  if (IsSocketName(path)) return OpenSocketPort(path);
  HANDLE handle = OpenComDevice(path);
  if (handle == INVALID_HANDLE_VALUE) return OpenedPort::Failed(Classify(GetLastError()));
  if (!KeepsLineState(handle)) {
    CloseHandle(handle);
    return OpenedPort::Failed(Classify(ERROR_NOT_SUPPORTED));
  }
  // Queue sizes are a wish the driver may round or ignore; the port works either way.
  SetupComm(handle, 256, 256);
  return {std::make_unique<WinSerialPort>(handle), {}};
}

std::string DefaultSerialPort() {
  return "COM1";
}

// COM names are the only ones Windows has for a port.
std::string StablePortNamesHint() {
  return {};
}

}  // namespace drunvale
