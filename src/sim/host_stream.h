// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/sim_records.h"

namespace drunvale::sim {

// One host's byte stream as a simulator serves it: a pseudo-terminal's master side, a TCP
// connection. The serving thread waits, reads and writes; Wake comes from any thread.
class HostStream {
 public:
  enum class Event { Readable, Woken, Timeout, Closed, Failed };

  virtual ~HostStream() = default;
  // Until bytes come, Wake is called, or the deadline passes (none: no limit).
  virtual Event Wait(std::optional<SimTime> deadline) = 0;
  // Appends what the host has sent, without waiting; false once the stream ended, with Error
  // saying why when it failed.
  virtual bool Read(std::vector<uint8_t>& bytes) = 0;
  // False when the stream failed; a host that does not read may lose bytes, as on a line.
  virtual bool Write(const uint8_t* bytes, size_t n) = 0;
  // The line rate the host set; 0 where the stream has none (a socket).
  virtual uint32_t HostRate() = 0;
  // Ends a connection from this side (a dropping peer); a stream without one ignores it.
  virtual void Close() = 0;
  virtual void Wake() = 0;
  // What went wrong, for the user.
  virtual std::string Error() const = 0;
};

// Where connections come from, one after another (a TCP listener).
class HostStreamListener {
 public:
  virtual ~HostStreamListener() = default;
  // The next connection; null when Wake was called or listening failed (Error says why).
  virtual std::unique_ptr<HostStream> Accept() = 0;
  virtual void Wake() = 0;
  virtual std::string Error() const = 0;
};

}  // namespace drunvale::sim
