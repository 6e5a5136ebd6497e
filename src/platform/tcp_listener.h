// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace drunvale {

enum class AcceptStatus { Accepted, TimedOut, Stopped, Failed };

// One client taken from the listener, or why none was.
struct [[nodiscard]] AcceptedClient {
  AcceptStatus status = AcceptStatus::Failed;
  // The connection, only when Accepted: it reads and writes by the serial port's rules and
  // timeouts, SetLine does nothing, there are no modem lines, and the client closing or
  // resetting the connection is a failure of every later call.
  std::unique_ptr<SerialPort> port;
  int systemError = 0;  // when Failed: errno on Linux, the Winsock error on Windows
};

// The listening end of a TCP port, for serving a simulated adapter to a program that opens
// socket://HOST:PORT. Clients are taken one at a time: while one is served the next waits in
// the system's queue. Accept and Stop may be called from different threads.
class TcpListener {
 public:
  virtual ~TcpListener() = default;

  // The port listened on: the one asked for, or the one the system picked for port 0.
  virtual uint16_t Port() const = 0;
  // Waits up to timeoutMs (0 = just look) for the next client.
  virtual AcceptedClient Accept(uint32_t timeoutMs) = 0;
  // Ends a waiting Accept at once, and every later one answers Stopped. Safe to call twice.
  // Connections already handed out are not touched.
  virtual void Stop() = 0;
};

// A listener, or the system's error (errno on Linux, the Winsock error on Windows).
struct [[nodiscard]] ListeningPort {
  std::unique_ptr<TcpListener> listener;  // null when it failed
  int systemError = 0;
};

// Listens at a numeric address ("127.0.0.1", "::1"; "0.0.0.0" or "::" for every interface)
// and port, 0 for one the system picks.
ListeningPort ListenOnTcp(const std::string& address, uint16_t port);

}  // namespace drunvale
