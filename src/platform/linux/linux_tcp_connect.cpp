// SPDX-License-Identifier: GPL-3.0-or-later
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/deadline_ms.h"
#include "platform/linux/socket_port.h"
#include "platform/result_within.h"
#include "platform/socket_name.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

struct Address {
  int family = AF_UNSPEC;
  socklen_t length = 0;
  sockaddr_storage storage{};
};

// The addresses a host has, copied out so an abandoned lookup leaves nothing to free.
struct Lookup {
  int status = 0;       // getaddrinfo's own code
  int systemError = 0;  // errno, when status is EAI_SYSTEM
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
  lookup.status = getaddrinfo(name.host.c_str(), std::to_string(name.port).c_str(), &hints, &list);
  if (lookup.status == EAI_SYSTEM) lookup.systemError = errno;
  if (lookup.status != 0) return lookup;
  for (const addrinfo* at = list; at != nullptr; at = at->ai_next) {
    if (at->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Address address;
    address.family = at->ai_family;
    address.length = at->ai_addrlen;
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
  if (literal.status != EAI_NONAME) return literal;
  std::optional<Lookup> looked = ResultWithin<Lookup>(deadline, [name] { return LookUp(name, 0); });
  if (looked) return *looked;
  Lookup late;
  late.status = EAI_SYSTEM;
  late.systemError = ETIMEDOUT;
  return late;
}

// 0 once connected, else why not.
int ConnectWithin(int fd, const Address& address, Steady::time_point deadline) {
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0)
    return 0;
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  for (;;) {
    const int waitMs = MsUntil(deadline);
    if (waitMs == 0) return ETIMEDOUT;
    pollfd p{fd, POLLOUT, 0};
    const int rc = poll(&p, 1, waitMs);
    if (rc < 0 && errno != EINTR) return errno;
    if (rc > 0) break;
  }
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

OpenFailure Classify(int error) {
  switch (error) {
    case ECONNREFUSED:  // the host is there, nothing listens at the port
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ENETUNREACH:
    case ENETDOWN:
    case EADDRNOTAVAIL:
      return OpenFailure::Unreachable;
    // A firewall's refusal (EPERM) is no matter of the dialout group: the system's words say it.
    default:
      return OpenFailure::Other;
  }
}

OpenError LookupFailure(const Lookup& lookup) {
  switch (lookup.status) {
    case EAI_SYSTEM:
      return {Classify(lookup.systemError), lookup.systemError};
    // The name is not known, or no resolver could be asked (no network yet). The lookup's
    // own codes are no errno, so none is given.
    case EAI_NONAME:
    case EAI_NODATA:
    case EAI_AGAIN:
    case EAI_FAIL:
      return {OpenFailure::Unreachable, 0};
    default:
      return {OpenFailure::Other, 0};
  }
}

}  // namespace

OpenedPort OpenSocketPort(const std::string& name) {
  const std::optional<SocketName> parsed = ParseSocketName(name);
  if (!parsed) return OpenedPort::Failed({OpenFailure::BadName, EINVAL});
  const auto deadline = Steady::now() + std::chrono::milliseconds(kSocketOpenLimitMs);
  const Lookup lookup = LookUpWithin(*parsed, deadline);
  if (lookup.status != 0) return OpenedPort::Failed(LookupFailure(lookup));

  // A name may have several addresses (localhost: ::1 and 127.0.0.1): the first that answers.
  int lastError = EHOSTUNREACH;
  for (const Address& address : lookup.addresses) {
    const int fd = socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
      lastError = errno;
      continue;
    }
    lastError = ConnectWithin(fd, address, deadline);
    if (lastError == 0) return {MakeSocketPort(fd), {}};
    close(fd);
    if (lastError == ETIMEDOUT) break;
  }
  return OpenedPort::Failed({Classify(lastError), lastError});
}

}  // namespace drunvale
