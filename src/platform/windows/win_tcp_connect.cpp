// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/deadline_ms.h"
#include "platform/result_within.h"
#include "platform/socket_name.h"
#include "platform/windows/socket_port.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

struct Address {
  int family = AF_UNSPEC;
  int length = 0;
  sockaddr_storage storage{};
};

// The addresses a host has, copied out so an abandoned lookup leaves nothing to free.
struct Lookup {
  int error = 0;  // a Winsock error
  std::vector<Address> addresses;
};

Lookup LookUp(const SocketName& name, int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  Lookup lookup;
  // The host is plain ASCII (ParseSocketName), so the narrow call loses nothing.
  lookup.error = getaddrinfo(name.host.c_str(), std::to_string(name.port).c_str(), &hints, &list);
  if (lookup.error != 0) return lookup;
  for (const addrinfo* at = list; at != nullptr; at = at->ai_next) {
    if (at->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Address address;
    address.family = at->ai_family;
    address.length = static_cast<int>(at->ai_addrlen);
    std::memcpy(&address.storage, at->ai_addr, at->ai_addrlen);
    lookup.addresses.push_back(address);
  }
  freeaddrinfo(list);
  return lookup;
}

// A literal needs no lookup; a name may, and a resolver that does not answer would hold the
// opening (and a program being stopped) for many seconds, so only its first ones are waited for.
Lookup LookUpWithin(const SocketName& name, Steady::time_point deadline) {
  Lookup literal = LookUp(name, AI_NUMERICHOST);
  if (literal.error != WSAHOST_NOT_FOUND) return literal;
  std::optional<Lookup> looked = ResultWithin<Lookup>(deadline, [name] { return LookUp(name, 0); });
  if (looked) return *looked;
  return {WSAETIMEDOUT, {}};
}

// 0 once connected, else why not. A failed connection shows among the exceptions, not as
// writable (WSAPoll would not tell it before Windows 10 2004, select does).
int ConnectWithin(SOCKET socket, const Address& address, Steady::time_point deadline) {
  if (connect(socket, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0)
    return 0;
  const int error = WSAGetLastError();
  if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS) return error;
  const int waitMs = MsUntil(deadline);
  fd_set connected;
  fd_set failed;
  FD_ZERO(&connected);
  FD_ZERO(&failed);
  FD_SET(socket, &connected);
  FD_SET(socket, &failed);
  timeval limit{waitMs / 1000, (waitMs % 1000) * 1000};
  const int ready = select(0, nullptr, &connected, &failed, &limit);
  if (ready == SOCKET_ERROR) return WSAGetLastError();
  if (ready == 0) return WSAETIMEDOUT;
  if (FD_ISSET(socket, &connected)) return 0;
  int why = 0;
  int length = sizeof why;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&why), &length) != 0)
    return WSAGetLastError();
  return why != 0 ? why : WSAECONNREFUSED;
}

OpenFailure Classify(int error) {
  switch (error) {
    case WSAECONNREFUSED:  // the host is there, nothing listens at the port
    case WSAETIMEDOUT:
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN:
    case WSAENETUNREACH:
    case WSAENETDOWN:
    case WSAEADDRNOTAVAIL:
    // The name is not known, or no resolver could be asked (no network yet).
    case WSAHOST_NOT_FOUND:
    case WSATRY_AGAIN:
    case WSANO_RECOVERY:
    case WSANO_DATA:
      return OpenFailure::Unreachable;
    default:
      return OpenFailure::Other;
  }
}

}  // namespace

OpenedPort OpenSocketPort(const std::string& name) {
  const std::optional<SocketName> parsed = ParseSocketName(name);
  if (!parsed) return OpenedPort::Failed({OpenFailure::BadName, ERROR_INVALID_NAME});
  if (const int error = StartWinsock(); error != 0)
    return OpenedPort::Failed({OpenFailure::Other, error});
  const auto deadline = Steady::now() + std::chrono::milliseconds(kSocketOpenLimitMs);
  const Lookup lookup = LookUpWithin(*parsed, deadline);
  if (lookup.error != 0) return OpenedPort::Failed({Classify(lookup.error), lookup.error});

  // A name may have several addresses (localhost: ::1 and 127.0.0.1): the first that answers.
  int lastError = WSAEHOSTUNREACH;
  for (const Address& address : lookup.addresses) {
    const SOCKET socket = WSASocketW(address.family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                     WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET) {
      lastError = WSAGetLastError();
      continue;
    }
    u_long nonBlocking = 1;
    lastError = ioctlsocket(socket, FIONBIO, &nonBlocking) == 0
                    ? ConnectWithin(socket, address, deadline)
                    : WSAGetLastError();
    if (lastError == 0) return {MakeSocketPort(socket), {}};
    closesocket(socket);
    if (lastError == WSAETIMEDOUT) break;
  }
  return OpenedPort::Failed({Classify(lastError), lastError});
}

}  // namespace drunvale
