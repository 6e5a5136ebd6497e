// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>

#include "platform/deadline_ms.h"
#include "platform/windows/socket_port.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

// What a read or purge reports when the peer has closed its end: the same as a reset, since
// either way the adapter is gone and the link opens the port anew.
constexpr int kPeerClosed = WSAECONNRESET;

IoResult Failed(size_t count = 0) {
  return IoFailure(WSAGetLastError(), count);
}

bool WouldBlock(int error) {
  return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

// Waits until the socket can be read (or written), a closed or reset connection included; 1
// when it can, 0 when the time ran out, SOCKET_ERROR on a failure of the wait. Exceptions are
// not waited for: urgent data, which no read here takes, would end every wait at once.
int AwaitSocket(SOCKET socket, bool forWrite, int waitMs) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(socket, &ready);
  timeval limit{waitMs / 1000, (waitMs % 1000) * 1000};
  return select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, nullptr, &limit);
}

// The serial port's timeouts, as the Linux serial port keeps them, over a stream socket: a
// network adapter behaves the same on both systems, whatever COMMTIMEOUTS would make of it.
class WinSocketPort final : public SerialPort {
 public:
  explicit WinSocketPort(SOCKET socket) : socket_(socket) {}
  ~WinSocketPort() override { closesocket(socket_); }
  WinSocketPort(const WinSocketPort&) = delete;
  WinSocketPort& operator=(const WinSocketPort&) = delete;

  // The adapter's far side sets its own rate; only a rate the serial port refuses is refused.
  IoResult SetLine(uint32_t baud) override {
    return baud == 0 ? IoFailure(ERROR_INVALID_PARAMETER) : IoResult{};
  }
  void SetTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
  IoResult Purge() override;
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool) override { return false; }
  bool SetDtr(bool) override { return false; }

 private:
  int Receive(uint8_t* data, size_t n, int flags = 0) {
    return recv(socket_, reinterpret_cast<char*>(data),
                static_cast<int>(std::min<size_t>(n, 1 << 30)), flags);
  }

  const SOCKET socket_;
  SerialTimeouts timeouts_;
};

// What was sent is in the system's hands already: only the receive side has anything to drop.
// Only what is waiting now is dropped, so a peer that keeps sending can't keep Purge going.
IoResult WinSocketPort::Purge() {
  u_long waiting = 0;
  if (ioctlsocket(socket_, FIONREAD, &waiting) != 0) return Failed();
  uint8_t scratch[512];
  while (waiting > 0) {
    const int got = Receive(scratch, std::min<size_t>(sizeof scratch, waiting));
    if (got <= 0) break;
    waiting -= static_cast<u_long>(got);
  }
  // A closed or reset connection fails here as in the read that would follow.
  const int peek = Receive(scratch, 1, MSG_PEEK);
  if (peek == 0) return IoFailure(kPeerClosed);
  if (peek == SOCKET_ERROR && !WouldBlock(WSAGetLastError())) return Failed();
  return {};
}

IoResult WinSocketPort::Write(const uint8_t* data, size_t n) {
  IoResult result;
  const auto deadline = Steady::now() + std::chrono::milliseconds(timeouts_.writeConstantMs +
                                                                  timeouts_.writePerByteMs * n);
  while (result.count < n) {
    const size_t chunk = std::min<size_t>(n - result.count, 1 << 30);
    const int sent = send(socket_, reinterpret_cast<const char*>(data + result.count),
                          static_cast<int>(chunk), 0);
    if (sent > 0) {
      result.count += static_cast<size_t>(sent);
      continue;
    }
    if (sent == SOCKET_ERROR && !WouldBlock(WSAGetLastError())) return Failed(result.count);
    // The send buffer is full: wait for room until the write's time is up. A failed connection
    // shows in the next send.
    const int waitMs = MsUntil(deadline);
    if (waitMs == 0) return result;
    if (AwaitSocket(socket_, true, waitMs) == SOCKET_ERROR) return Failed(result.count);
  }
  return result;
}

IoResult WinSocketPort::Read(uint8_t* data, size_t n) {
  IoResult result;
  const auto totalDeadline =
      Steady::now() +
      std::chrono::milliseconds(timeouts_.totalConstantMs + timeouts_.totalPerByteMs * n);
  // Until the first byte only the total limit runs; after each byte the gap limit runs too.
  auto deadline = totalDeadline;
  while (result.count < n) {
    const int waitMs = MsUntil(deadline);
    const int ready = AwaitSocket(socket_, false, waitMs);
    if (ready == SOCKET_ERROR) return Failed(result.count);
    if (ready == 0) {
      if (waitMs == 0) break;
      continue;
    }
    // A closed peer reads as the end of the stream, a reset one as an error: both end the read.
    const int got = Receive(data + result.count, n - result.count);
    if (got > 0) {
      result.count += static_cast<size_t>(got);
      deadline =
          std::min(totalDeadline, Steady::now() + std::chrono::milliseconds(timeouts_.interByteMs));
      continue;
    }
    if (got == 0) return IoFailure(kPeerClosed, result.count);
    if (!WouldBlock(WSAGetLastError())) return Failed(result.count);
    if (waitMs == 0) break;
  }
  return result;
}

}  // namespace

int StartWinsock() {
  static const int error = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return error;
}

std::unique_ptr<SerialPort> MakeSocketPort(SOCKET socket) {
  // Requests and answers are short lines: each goes out at once instead of waiting to be
  // merged with the next. Without it the port still works, only slower.
  const BOOL on = TRUE;
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return std::make_unique<WinSocketPort>(socket);
}

}  // namespace drunvale
