// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/tcp_listener.h"
#include "platform/testing/manual_clock.h"

namespace drunvale {

// Test double of a TCP listener on virtual time: clients arrive at the times the test gives,
// each with the connection Accept hands out (any port, a ScriptedSerialPort playing the client
// for one). An Accept with no client there moves the clock to the next arrival or stop within
// its timeout, else by the whole timeout; it never waits on the real clock. All members may
// be called from any thread.
class ScriptedTcpListener final : public TcpListener {
 public:
  explicit ScriptedTcpListener(ManualTickClock& clock, uint16_t port = 35000);

  uint16_t Port() const override { return port_; }
  AcceptedClient Accept(uint32_t timeoutMs) override;
  void Stop() override;

  // A client connecting at atMs; clients are taken in the order they arrive.
  void Arrive(std::unique_ptr<SerialPort> connection, uint32_t atMs);
  // From atMs on, as if Stop was called then.
  void StopAt(uint32_t atMs);
  // The next Accept fails with this error.
  void FailNextAccept(int systemError);
  size_t Waiting() const;  // clients arrived or still to come, not yet accepted

 private:
  struct Client {
    std::unique_ptr<SerialPort> connection;
    uint32_t atMs;
  };

  // Virtual milliseconds from now until the tick, 0 when it has passed.
  uint32_t Until(uint32_t tickMs) const;

  mutable std::mutex mutex_;
  ManualTickClock& clock_;
  const uint16_t port_;
  std::deque<Client> clients_;
  std::optional<uint32_t> stopAt_;
  bool stopped_ = false;
  std::optional<int> failure_;
};

}  // namespace drunvale
