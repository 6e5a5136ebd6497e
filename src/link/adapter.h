// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/kwp_frame.h"
#include "platform/serial_port.h"

namespace drunvale {

// One request's trip through the adapter: the answer frame lies in the buffer (`size` bytes,
// header to checksum), nothing usable came, or the port failed (`systemError` says why).
struct [[nodiscard]] Transfer {
  enum class Outcome { Received, Failed, PortFailure };
  Outcome outcome = Outcome::Failed;
  size_t size = 0;
  int systemError = 0;
};

// Outcome of an adapter's own steps around a session.
enum class [[nodiscard]] AdapterStep{
    Ok,
    Silent,      // the control unit did not answer: wait and try again
    PortFailed,  // the port went: the adapter is gone
    Unusable,    // the adapter cannot carry the session; it said why
    Stopped,
};

// How requests reach the control unit's K-line: the transport under the exchange. An echoing
// K-line adapter carries the frame byte for byte; an ELM327 chip takes it as hex text and
// prints the answer. Lives on the connection worker thread.
class Adapter {
 public:
  virtual ~Adapter() = default;

  // One request out and its answer in. `replyEnd` becomes the tick at which the answer's last
  // byte left the K-line, as near as the adapter can tell: the pacing counts from it.
  virtual Transfer Carry(const KwpFrame& request, std::array<uint8_t, kReceiveBufferSize>& answer,
                         uint32_t& replyEnd) = 0;

  // Before the session, on a freshly opened port: the adapter's own set-up.
  virtual AdapterStep Prepare() { return AdapterStep::Ok; }
  // True when the adapter wakes the control unit itself (no StartCommunication request is
  // sent); it then tells the key bytes it saw, none when it cannot show them.
  virtual bool MakesContactItself() const { return false; }
  virtual AdapterStep MakeContact(std::vector<uint8_t>& keyBytes) {
    keyBytes.clear();
    return AdapterStep::Ok;
  }
  // False when the K-line runs at 10400 only, so no faster rate is asked of the control unit.
  virtual bool FollowsRateSwitch() const { return true; }
  // After the closing requests.
  virtual void Finish() {}
};

}  // namespace drunvale
