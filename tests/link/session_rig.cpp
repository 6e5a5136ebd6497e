// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/session_rig.h"

#include <algorithm>
#include <cstdio>

#include "link/link_summary.h"

namespace drunvale::testing {
namespace {

std::string Hex(const Bytes& bytes) {
  // Long blocks are cut after their first bytes: the timeline is about the exchange.
  constexpr size_t kShown = 8;
  std::string text;
  char buf[8];
  for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
    std::snprintf(buf, sizeof buf, " %02X", bytes[i]);
    text += buf;
  }
  if (bytes.size() > kShown) text += " ... +" + std::to_string(bytes.size() - kShown);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

Bytes LiveBlock(uint8_t status, uint8_t speed, uint16_t airRaw, uint16_t fuelRaw, size_t size) {
  Bytes block(std::max<size_t>(size, 32));
  for (size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<uint8_t>(0xA0 + i);
  block[0] = 0x01;
  block[kLiveStatusAt] = status;
  block[kLiveSpeedAt] = speed;
  block[kLiveAirAt] = static_cast<uint8_t>(airRaw);
  block[kLiveAirAt + 1] = static_cast<uint8_t>(airRaw >> 8);
  block[kLiveFuelAt] = static_cast<uint8_t>(fuelRaw);
  block[kLiveFuelAt + 1] = static_cast<uint8_t>(fuelRaw >> 8);
  block.resize(size);
  return block;
}

Bytes IdentificationBlock(const std::string& name, const std::string& version,
                          const std::string& date, size_t size) {
  Bytes block(std::max<size_t>(size, 100), '*');
  block[0] = 0x80;
  auto put = [&](size_t at, size_t length, const std::string& text) {
    std::fill_n(block.begin() + at, length, 0);
    std::copy_n(text.begin(), std::min(length, text.size()), block.begin() + at);
  };
  put(kIdNameAt, kIdNameLength, name);
  put(kIdVersionAt, kIdVersionLength, version);
  put(kIdDateAt, kIdDateLength, date);
  block.resize(size);
  return block;
}

ScriptedReply ScriptedEcu::Answer(const Bytes& frame, uint32_t lineRate) {
  ScriptedReply reply{{}, 20, 1};
  if (frame.size() < 4) return reply;
  const Bytes data(frame.begin() + 3,
                   frame.begin() + 3 + std::min<size_t>(frame[0] & 0x3F, frame.size() - 4));
  if (data.empty()) return reply;
  const uint8_t service = data[0];
  requests.push_back(data);
  rates.push_back(lineRate);
  if (onRequest) onRequest(service);
  const bool quiet = silent || std::count(ignored.begin(), ignored.end(), service) > 0;
  answered.push_back(!quiet);
  if (quiet) return reply;

  Bytes answer;
  switch (service) {
    case 0x20:
      answer = {0x60};
      break;
    case 0x82:
      answer = {0xC2};
      break;
    case 0x81:
      answer = contactReply ? *contactReply : Bytes{0xC1, keyBytes[0], keyBytes[1]};
      break;
    case 0x10:
      answer = {0x50, 0x81};
      break;
    case 0x1A:
      answer = {0x5A};
      answer.insert(answer.end(), identification.begin(), identification.end());
      break;
    case 0x21:
      answer = {0x61};
      answer.insert(answer.end(), live.begin(), live.end());
      break;
    case 0x18:
    case 0x14:
      if (!troubleCodes) {
        answer = {0x7F, service, 0x11};
      } else if (service == 0x14) {
        answer = {0x54, 0xFF, 0x00};
      } else {
        answer = {0x58, static_cast<uint8_t>(troubleCodes->size() / 3)};
        answer.insert(answer.end(), troubleCodes->begin(), troubleCodes->end());
      }
      break;
    default:
      answer = {0x7F, service, 0x11};
  }
  const KwpFrame f = BuildResponseFrame(answer.data(), static_cast<uint8_t>(answer.size()));
  reply.bytes.assign(f.data(), f.data() + f.size);
  return reply;
}

// The worker's view of the rig's scripted port: every call lands on the timeline.
class LoggedPort final : public SerialPort {
 public:
  explicit LoggedPort(SessionRig& rig) : rig_(rig) {}
  ~LoggedPort() override {
    ++rig_.closes;
    rig_.Log("close");
  }
  IoResult SetLine(uint32_t baud) override { return Logged(rig_.port.SetLine(baud)); }
  void SetTimeouts(const SerialTimeouts& timeouts) override {
    rig_.port.SetTimeouts(timeouts);
    rig_.LogPortEvents();
  }
  IoResult Purge() override { return Logged(rig_.port.Purge()); }
  IoResult Write(const uint8_t* data, size_t n) override {
    return Logged(rig_.port.Write(data, n));
  }
  IoResult Read(uint8_t* data, size_t n) override { return Logged(rig_.port.Read(data, n)); }
  bool SetRts(bool on) override { return Logged(rig_.port.SetRts(on)); }
  bool SetDtr(bool on) override { return Logged(rig_.port.SetDtr(on)); }

 private:
  template <typename T>
  T Logged(T result) {
    rig_.LogPortEvents();
    return result;
  }
  SessionRig& rig_;
};

SessionRig::SessionRig(uint16_t baud, bool dtrOn)
    : outlets(
          stop,
          [this](std::string text) {
            statuses.push_back(text);
            if (onStatus) onStatus(text);
            Log("status \"" + Escaped(text) + "\"");
          },
          [this](float speed, float air, float fuel, bool running) {
            samples.push_back({speed, air, fuel, running});
            char buf[96];
            std::snprintf(buf, sizeof buf, "sample %g %g %g %s", speed, air, fuel,
                          running ? "running" : "stopped");
            Log(buf);
            if (onSample) onSample();
          },
          [this] {
            ++pauses;
            Log("paused");
          },
          [this](std::string text) { causes.push_back(text); },
          [this](const CodesReport& report) { codeReports.push_back(report); }),
      worker(
          settings, clock, sleepClock, stop,
          [this](const std::string& name) -> OpenedPort {
            ++opens;
            Log("open " + name);
            if (onOpen) onOpen();
            if (openFails) return OpenedPort::Failed(whyOpenFails);
            return {std::make_unique<LoggedPort>(*this), {}};
          },
          outlets) {
  Settings s;
  s.Port = "COM1";
  s.Adapter = AdapterKind::KLine;
  s.Params.BaudRate = baud;
  s.Params.DtrOn = dtrOn;
  s.Params.RtsPulse = false;
  settings.Set(s);
  port.SetResponder([this](const Bytes& frame) { return ecu.Answer(frame, port.baud()); });
}

void SessionRig::Log(const std::string& what) {
  LogPortEvents();
  log_ += std::to_string(clock.NowMs()) + " " + what + "\n";
}

void SessionRig::LogPortEvents() {
  const std::vector<SerialEvent> events = port.Events();
  for (; loggedEvents_ < events.size(); ++loggedEvents_) {
    const SerialEvent& e = events[loggedEvents_];
    std::string line = std::to_string(e.timeMs) + " ";
    switch (e.kind) {
      case SerialEvent::Kind::SetLine:
        line += "line " + std::to_string(e.value);
        break;
      case SerialEvent::Kind::SetTimeouts:
        line += "timeouts";
        break;
      case SerialEvent::Kind::Purge:
        line += "purge";
        break;
      case SerialEvent::Kind::Write:
        line += "write" + Hex(e.bytes);
        break;
      case SerialEvent::Kind::Read:
        line +=
            "read " + std::to_string(e.bytes.size()) + "/" + std::to_string(e.value) + Hex(e.bytes);
        break;
      case SerialEvent::Kind::Rts:
        line += "rts " + std::to_string(e.value);
        break;
      case SerialEvent::Kind::Dtr:
        line += "dtr " + std::to_string(e.value);
        break;
    }
    if (!e.ok) line += " FAILED";
    log_ += line + "\n";
  }
}

std::string SessionRig::TakeLog() {
  LogPortEvents();
  std::string log;
  log.swap(log_);
  return log;
}

std::string SessionRig::Summary() const {
  if (!worker.PortOpen()) return "";
  return FormatLinkSummary(worker.PortName(), worker.CurrentBaud(), worker.ErrorCount());
}

int SessionRig::Count(uint8_t service) const {
  return static_cast<int>(std::count_if(ecu.requests.begin(), ecu.requests.end(),
                                        [&](const Bytes& r) { return r[0] == service; }));
}

}  // namespace drunvale::testing
