// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "platform/testing/manual_clock.h"

namespace drunvale {

// What the far side sends back for one written frame. Byte i of the reply arrives
// latencyMs + (i + 1) * byteMs after the last echoed byte (after the write without echo).
struct ScriptedReply {
  std::vector<uint8_t> bytes;
  uint32_t latencyMs = 0;
  uint32_t byteMs = 1;
};

// Called with each frame as written; may call Inject on the port for unusual timing.
using ScriptedResponder = std::function<ScriptedReply(const std::vector<uint8_t>& frame)>;

// One call on the port as the transcript keeps it.
struct SerialEvent {
  enum class Kind { SetLine, SetTimeouts, Purge, Write, Read, Rts, Dtr };
  Kind kind;
  uint32_t timeMs = 0;  // virtual time when the call returned
  bool ok = true;
  uint32_t value = 0;          // baud, line state, bytes asked for by a read
  std::vector<uint8_t> bytes;  // written or received
};

// Test double of a K-line adapter with a control unit behind it, on virtual time: time passes
// only while a read waits for bytes, by the same rules as the real port (gap limit after the
// first byte, total limit from the start). Writes return at once; their echo arrives one
// byte time per byte later. Every call is recorded with its virtual time. All members may be
// called from any thread, and the responder may call back into the port.
class ScriptedSerialPort final : public SerialPort {
 public:
  // What every failure reports as the system's error: 5 is EIO on Linux and
  // ERROR_ACCESS_DENIED on Windows, both what a pulled adapter answers there.
  static constexpr int kScriptedFailure = 5;

  explicit ScriptedSerialPort(ManualTickClock& clock);

  IoResult SetLine(uint32_t baud) override;
  void SetTimeouts(const SerialTimeouts& timeouts) override;
  IoResult Purge() override;
  IoResult Write(const uint8_t* data, size_t n) override;
  IoResult Read(uint8_t* data, size_t n) override;
  bool SetRts(bool on) override;
  bool SetDtr(bool on) override;

  // The far side.
  void SetEcho(bool on);
  void SetByteTimeMs(uint32_t ms);  // line time of one echoed byte; 1 by default
  void SetResponder(ScriptedResponder responder);
  // Bytes that arrive unasked (garbage, a late reply), the first at atMs, then byteMs apart.
  void Inject(const std::vector<uint8_t>& bytes, uint32_t atMs, uint32_t byteMs = 1);
  // From atMs on nothing more arrives, and every read, write and purge fails, as after the
  // adapter was pulled. Bytes that arrived before are still handed out first.
  void HangUpAt(uint32_t atMs);
  // false: SetRts and SetDtr answer false, as on a pseudo-terminal.
  void SetModemLinesPresent(bool present);

  // One-shot faults: the call after `skip` further successful calls of that kind fails.
  void FailRead(int skip = 0);
  void FailWrite(int skip = 0);
  void FailPurge(int skip = 0);
  void FailSetLine(int skip = 0);
  // The next write takes only `count` bytes.
  void ShortenNextWrite(size_t count);

  std::vector<SerialEvent> Events() const;
  std::vector<std::vector<uint8_t>> Writes() const;
  // The events as text, one per line: "<ms> <call> ...", bytes in hex.
  std::string Transcript() const;
  size_t PendingBytes() const;  // arrived or still on the wire
  bool rts() const;
  bool dtr() const;
  uint32_t baud() const;

 private:
  struct Pending {
    uint8_t byte;
    int64_t at;
  };

  // A 64-bit view of the wrapping tick, so scheduling never meets the wrap.
  int64_t Now64();
  int64_t ToTimeline(uint32_t tickMs);
  void AdvanceTo(int64_t at);
  void Schedule(uint8_t byte, int64_t at);
  bool HungUp(int64_t at) const { return hangUpAt_ && at >= *hangUpAt_; }
  static bool Consume(std::optional<int>& fault);
  void Record(SerialEvent::Kind kind, bool ok, uint32_t value, std::vector<uint8_t> bytes = {});

  mutable std::recursive_mutex mutex_;
  ManualTickClock& clock_;
  uint32_t lastTick_;
  int64_t now64_ = 0;
  SerialTimeouts timeouts_;
  bool echo_ = true;
  uint32_t byteMs_ = 1;
  int64_t lineBusyUntil_ = 0;
  ScriptedResponder responder_;
  std::deque<Pending> pending_;
  std::optional<int64_t> hangUpAt_;
  bool modemLines_ = true;
  std::optional<int> failRead_, failWrite_, failPurge_, failSetLine_;
  std::optional<size_t> shortWrite_;
  std::vector<SerialEvent> events_;
  bool rts_ = false;
  bool dtr_ = false;
  uint32_t baud_ = 0;
};

}  // namespace drunvale
