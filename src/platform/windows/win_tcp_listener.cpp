// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>

#include "platform/deadline_ms.h"
#include "platform/tcp_listener.h"
#include "platform/windows/socket_port.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

// A waiting Accept waits for the listening socket's event (WSAEventSelect) and for the stop
// event, so a stop wakes it at once whenever it comes.
class WinTcpListener final : public TcpListener {
 public:
  WinTcpListener(SOCKET socket, WSAEVENT incoming, HANDLE stop, uint16_t port)
      : socket_(socket), incoming_(incoming), stop_(stop), port_(port) {}
  ~WinTcpListener() override {
    closesocket(socket_);
    WSACloseEvent(incoming_);
    CloseHandle(stop_);
  }
  WinTcpListener(const WinTcpListener&) = delete;
  WinTcpListener& operator=(const WinTcpListener&) = delete;

  uint16_t Port() const override { return port_; }
  AcceptedClient Accept(uint32_t timeoutMs) override;
  void Stop() override {
    stopped_ = true;
    SetEvent(stop_);
  }

 private:
  const SOCKET socket_;
  const WSAEVENT incoming_;
  const HANDLE stop_;
  const uint16_t port_;
  std::atomic<bool> stopped_{false};
};

AcceptedClient WinTcpListener::Accept(uint32_t timeoutMs) {
  const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (stopped_) return {AcceptStatus::Stopped, nullptr};
    // Reset before looking: a client coming after the look sets the event again.
    WSAResetEvent(incoming_);
    const SOCKET client = accept(socket_, nullptr, nullptr);
    if (client != INVALID_SOCKET) {
      // The client inherits the listener's event selection: undo it; it stays non-blocking.
      WSAEventSelect(client, nullptr, 0);
      u_long nonBlocking = 1;
      ioctlsocket(client, FIONBIO, &nonBlocking);
      return {AcceptStatus::Accepted, MakeSocketPort(client)};
    }
    // A client that gave up while queued is no failure of the listener.
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK && error != WSAECONNRESET && error != WSAEINTR)
      return {AcceptStatus::Failed, nullptr, error};
    const auto waitMs = static_cast<DWORD>(MsUntil(deadline));
    if (waitMs == 0) return {AcceptStatus::TimedOut, nullptr};
    const HANDLE events[2] = {stop_, incoming_};
    if (WaitForMultipleObjects(2, events, FALSE, waitMs) == WAIT_FAILED)
      return {AcceptStatus::Failed, nullptr, static_cast<int>(GetLastError())};
  }
}

uint16_t BoundPort(SOCKET socket) {
  sockaddr_storage bound{};
  int length = sizeof bound;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 0;
  if (bound.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

}  // namespace

ListeningPort ListenOnTcp(const std::string& address, uint16_t port) {
  if (const int error = StartWinsock(); error != 0) return {nullptr, error};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (const int error = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
      error != 0) {
    return {nullptr, error};
  }
  const SOCKET socket = WSASocketW(found->ai_family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                   WSA_FLAG_NO_HANDLE_INHERIT);
  if (socket == INVALID_SOCKET) {
    const int error = WSAGetLastError();
    freeaddrinfo(found);
    return {nullptr, error};
  }
  const bool listening = bind(socket, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0 &&
                         listen(socket, 1) == 0;
  int error = WSAGetLastError();
  freeaddrinfo(found);
  WSAEVENT incoming = WSA_INVALID_EVENT;
  HANDLE stop = nullptr;
  if (listening) {
    incoming = WSACreateEvent();
    stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Selecting events makes the socket non-blocking, which Accept relies on.
    if (incoming != WSA_INVALID_EVENT && stop != nullptr &&
        WSAEventSelect(socket, incoming, FD_ACCEPT) == 0) {
      return {std::make_unique<WinTcpListener>(socket, incoming, stop, BoundPort(socket))};
    }
    error = WSAGetLastError();
  }
  if (incoming != WSA_INVALID_EVENT) WSACloseEvent(incoming);
  if (stop != nullptr) CloseHandle(stop);
  closesocket(socket);
  return {nullptr, error};
}

}  // namespace drunvale
