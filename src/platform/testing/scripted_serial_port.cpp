// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/scripted_serial_port.h"

#include <algorithm>
#include <cstdio>

namespace drunvale {

ScriptedSerialPort::ScriptedSerialPort(ManualTickClock& clock)
    : clock_(clock), lastTick_(clock.NowMs()) {}

int64_t ScriptedSerialPort::Now64() {
  uint32_t tick = clock_.NowMs();
  now64_ += static_cast<uint32_t>(tick - lastTick_);
  lastTick_ = tick;
  return now64_;
}

int64_t ScriptedSerialPort::ToTimeline(uint32_t tickMs) {
  return Now64() + static_cast<int32_t>(tickMs - clock_.NowMs());
}

void ScriptedSerialPort::AdvanceTo(int64_t at) {
  int64_t now = Now64();
  if (at > now) clock_.Advance(static_cast<uint32_t>(at - now));
}

void ScriptedSerialPort::Schedule(uint8_t byte, int64_t at) {
  // Keep arrival order; bytes due at the same moment stay in the order they were sent.
  auto pos = std::upper_bound(pending_.begin(), pending_.end(), at,
                              [](int64_t t, const Pending& p) { return t < p.at; });
  pending_.insert(pos, Pending{byte, at});
}

bool ScriptedSerialPort::Consume(std::optional<int>& fault) {
  if (!fault) return false;
  if (*fault == 0) {
    fault.reset();
    return true;
  }
  --*fault;
  return false;
}

void ScriptedSerialPort::Record(SerialEvent::Kind kind, bool ok, uint32_t value,
                                std::vector<uint8_t> bytes) {
  events_.push_back(SerialEvent{kind, clock_.NowMs(), ok, value, std::move(bytes)});
}

IoResult ScriptedSerialPort::SetLine(uint32_t baud) {
  std::lock_guard lock(mutex_);
  bool ok = !Consume(failSetLine_) && baud != 0;
  if (ok) baud_ = baud;
  Record(SerialEvent::Kind::SetLine, ok, baud);
  return ok ? IoResult{} : IoFailure(kScriptedFailure);
}

void ScriptedSerialPort::SetTimeouts(const SerialTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  timeouts_ = timeouts;
  Record(SerialEvent::Kind::SetTimeouts, true, timeouts.interByteMs);
}

IoResult ScriptedSerialPort::Purge() {
  std::lock_guard lock(mutex_);
  int64_t now = Now64();
  bool ok = !Consume(failPurge_) && !HungUp(now);
  if (ok) {
    // Only what has arrived is discarded; bytes still on the wire come in later.
    while (!pending_.empty() && pending_.front().at <= now)
      pending_.pop_front();
  }
  Record(SerialEvent::Kind::Purge, ok, 0);
  return ok ? IoResult{} : IoFailure(kScriptedFailure);
}

IoResult ScriptedSerialPort::Write(const uint8_t* data, size_t n) {
  std::lock_guard lock(mutex_);
  int64_t now = Now64();
  if (Consume(failWrite_) || HungUp(now)) {
    Record(SerialEvent::Kind::Write, false, 0);
    return IoFailure(kScriptedFailure);
  }
  size_t count = shortWrite_ ? std::min(n, *shortWrite_) : n;
  shortWrite_.reset();
  std::vector<uint8_t> frame(data, data + count);
  Record(SerialEvent::Kind::Write, true, 0, frame);

  // Bytes go out one after another, after whatever an earlier write still has on the line.
  int64_t lineFree = std::max(now, lineBusyUntil_);
  if (echo_) {
    for (uint8_t byte : frame) {
      lineFree += byteMs_;
      Schedule(byte, lineFree);
    }
    lineBusyUntil_ = lineFree;
  }
  if (responder_) {
    ScriptedReply reply = responder_(frame);
    int64_t at = lineFree + reply.latencyMs;
    for (uint8_t byte : reply.bytes) {
      at += reply.byteMs;
      Schedule(byte, at);
    }
  }
  return IoResult{true, count};
}

IoResult ScriptedSerialPort::Read(uint8_t* data, size_t n) {
  std::lock_guard lock(mutex_);
  IoResult result;
  std::vector<uint8_t> got;
  if (Consume(failRead_)) {
    result = IoFailure(kScriptedFailure);
    Record(SerialEvent::Kind::Read, false, static_cast<uint32_t>(n));
    return result;
  }
  const int64_t total =
      Now64() + timeouts_.totalConstantMs + int64_t{timeouts_.totalPerByteMs} * int64_t(n);
  int64_t limit = total;
  while (result.count < n) {
    bool byteDue = !pending_.empty() && pending_.front().at <= limit &&
                   !(hangUpAt_ && pending_.front().at >= *hangUpAt_);
    if (byteDue) {
      AdvanceTo(pending_.front().at);
      data[result.count++] = pending_.front().byte;
      got.push_back(pending_.front().byte);
      pending_.pop_front();
      limit = std::min(total, Now64() + timeouts_.interByteMs);
      continue;
    }
    if (hangUpAt_ && *hangUpAt_ <= limit) {
      AdvanceTo(*hangUpAt_);
      result = IoFailure(kScriptedFailure, result.count);
      break;
    }
    AdvanceTo(limit);
    break;
  }
  Record(SerialEvent::Kind::Read, result.ok, static_cast<uint32_t>(n), got);
  return result;
}

bool ScriptedSerialPort::SetRts(bool on) {
  std::lock_guard lock(mutex_);
  if (modemLines_) rts_ = on;
  Record(SerialEvent::Kind::Rts, modemLines_, on);
  return modemLines_;
}

bool ScriptedSerialPort::SetDtr(bool on) {
  std::lock_guard lock(mutex_);
  if (modemLines_) dtr_ = on;
  Record(SerialEvent::Kind::Dtr, modemLines_, on);
  return modemLines_;
}

void ScriptedSerialPort::SetEcho(bool on) {
  std::lock_guard lock(mutex_);
  echo_ = on;
}

void ScriptedSerialPort::SetByteTimeMs(uint32_t ms) {
  std::lock_guard lock(mutex_);
  byteMs_ = ms;
}

void ScriptedSerialPort::SetResponder(ScriptedResponder responder) {
  std::lock_guard lock(mutex_);
  responder_ = std::move(responder);
}

void ScriptedSerialPort::Inject(const std::vector<uint8_t>& bytes, uint32_t atMs, uint32_t byteMs) {
  std::lock_guard lock(mutex_);
  int64_t at = ToTimeline(atMs);
  for (uint8_t byte : bytes) {
    Schedule(byte, at);
    at += byteMs;
  }
}

void ScriptedSerialPort::HangUpAt(uint32_t atMs) {
  std::lock_guard lock(mutex_);
  hangUpAt_ = ToTimeline(atMs);
}

void ScriptedSerialPort::SetModemLinesPresent(bool present) {
  std::lock_guard lock(mutex_);
  modemLines_ = present;
}

void ScriptedSerialPort::FailRead(int skip) {
  std::lock_guard lock(mutex_);
  failRead_ = skip;
}

void ScriptedSerialPort::FailWrite(int skip) {
  std::lock_guard lock(mutex_);
  failWrite_ = skip;
}

void ScriptedSerialPort::FailPurge(int skip) {
  std::lock_guard lock(mutex_);
  failPurge_ = skip;
}

void ScriptedSerialPort::FailSetLine(int skip) {
  std::lock_guard lock(mutex_);
  failSetLine_ = skip;
}

void ScriptedSerialPort::ShortenNextWrite(size_t count) {
  std::lock_guard lock(mutex_);
  shortWrite_ = count;
}

std::vector<SerialEvent> ScriptedSerialPort::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<std::vector<uint8_t>> ScriptedSerialPort::Writes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::vector<uint8_t>> writes;
  for (const SerialEvent& e : events_) {
    if (e.kind == SerialEvent::Kind::Write && e.ok) writes.push_back(e.bytes);
  }
  return writes;
}

std::string ScriptedSerialPort::Transcript() const {
  std::lock_guard lock(mutex_);
  std::string text;
  char buf[64];
  for (const SerialEvent& e : events_) {
    std::snprintf(buf, sizeof buf, "%u ", e.timeMs);
    text += buf;
    switch (e.kind) {
      case SerialEvent::Kind::SetLine:
        std::snprintf(buf, sizeof buf, "line %u", e.value);
        break;
      case SerialEvent::Kind::SetTimeouts:
        std::snprintf(buf, sizeof buf, "timeouts");
        break;
      case SerialEvent::Kind::Purge:
        std::snprintf(buf, sizeof buf, "purge");
        break;
      case SerialEvent::Kind::Write:
        std::snprintf(buf, sizeof buf, "write");
        break;
      case SerialEvent::Kind::Read:
        std::snprintf(buf, sizeof buf, "read %zu/%u", e.bytes.size(), e.value);
        break;
      case SerialEvent::Kind::Rts:
        std::snprintf(buf, sizeof buf, "rts %u", e.value);
        break;
      case SerialEvent::Kind::Dtr:
        std::snprintf(buf, sizeof buf, "dtr %u", e.value);
        break;
    }
    text += buf;
    for (uint8_t byte : e.bytes) {
      std::snprintf(buf, sizeof buf, " %02X", byte);
      text += buf;
    }
    if (!e.ok) text += " FAILED";
    text += '\n';
  }
  return text;
}

size_t ScriptedSerialPort::PendingBytes() const {
  std::lock_guard lock(mutex_);
  return pending_.size();
}

bool ScriptedSerialPort::rts() const {
  std::lock_guard lock(mutex_);
  return rts_;
}

bool ScriptedSerialPort::dtr() const {
  std::lock_guard lock(mutex_);
  return dtr_;
}

uint32_t ScriptedSerialPort::baud() const {
  std::lock_guard lock(mutex_);
  return baud_;
}

}  // namespace drunvale
