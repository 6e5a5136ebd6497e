// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/elm_adapter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "link/link_texts.h"
#include "link/session_rig.h"

namespace drunvale::testing {
namespace {

using namespace std::string_literals;

TEST(ElmAnswer, SplitsDataFromStatusesChatterAndTheEcho) {
  // NUL bytes after a reset, the echo, LF after CR, a status, two frames.
  ElmAnswer a = ParseElmAnswer("\0\0ATZ\r\r\nELM327 v1.5\r\r"s, "ATZ");
  EXPECT_TRUE(a.data.empty());
  EXPECT_EQ(a.statuses, std::vector<std::string>{"ELM327 v1.5"});
  a = ParseElmAnswer("BUS INIT: ...OK\r83 F1 10 C1 6B 8F 3F\r7F21782A\r\r>", "2101");
  EXPECT_EQ(a.statuses, std::vector<std::string>{"BUS INIT: ...OK"});
  ASSERT_EQ(a.data.size(), 2u);
  EXPECT_EQ(a.data[0], (Bytes{0x83, 0xF1, 0x10, 0xC1, 0x6B, 0x8F, 0x3F}));
  // Odd digits, "FB ERROR" behind hex pairs and clone chatter are statuses; a flagged line is
  // no data.
  a = ParseElmAnswer("ABC\rFB ERROR\r+CONNECTING<<00:11\r8101<DATA ERROR\rNO DATA\r>", "0100");
  EXPECT_TRUE(a.data.empty());
  EXPECT_TRUE(a.dataError);
  EXPECT_EQ(a.statuses,
            (std::vector<std::string>{"ABC", "FB ERROR", "+CONNECTING<<00:11", "NO DATA"}));
  EXPECT_TRUE(a.Has("NO DATA") && a.HasPrefix("+CONN") && !a.Ok());
  EXPECT_EQ(ElmHex(std::vector<uint8_t>{0x1A, 0x80, 0x0F}.data(), 3), "1A800F");
}

// An ELM327 in front of the scripted control unit: set-up commands answered as a genuine chip
// (or a clone) does, requests carried to the unit and printed back whole with headers.
struct FakeElm {
  explicit FakeElm(SessionRig& rig) : rig(rig) {
    rig.port.SetEcho(false);
    rig.port.SetResponder([this](const Bytes& written) { return Answer(written); });
  }

  ScriptedReply Answer(const Bytes& written) {
    std::string line;
    for (uint8_t b : written)
      if (b != '\r' && b != ' ') line += static_cast<char>(b);
    lines.push_back(line);
    ScriptedReply reply{{}, 2, 0};
    std::string text = Respond(line, reply.latencyMs);
    text += "\r\r>";
    reply.bytes.assign(text.begin(), text.end());
    return reply;
  }

  std::string Respond(const std::string& line, uint32_t& latency) {
    if (line.starts_with("AT")) {
      const std::string command = line.substr(2);
      for (const std::string& lacking : missing)
        if (command.starts_with(lacking)) return "?";
      if (command == "Z" || command == "WS") {
        latency = 900;
        return "\r\rELM327 v1.5";
      }
      if (command == "FI") {
        if (rig.ecu.silent) return "BUS INIT: ERROR";
        woken = true;
        return "BUS INIT: OK";
      }
      if (command == "KW")
        return "1:" + ElmHex(&rig.ecu.keyBytes[0], 1) + " 2:" + ElmHex(&rig.ecu.keyBytes[1], 1);
      return "OK";
    }
    if (line.find_first_not_of("0123456789ABCDEF") != std::string::npos) return "?";
    if (line.size() % 2 != 0 && countDigitMissing) return "?";
    Bytes data;
    for (size_t i = 0; i + 1 < line.size(); i += 2)
      data.push_back(static_cast<uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
    if (data.empty()) return "?";
    std::string prefix;
    if (!woken) {
      if (rig.ecu.silent) return "BUS INIT: ...ERROR";
      woken = true;
      prefix = "BUS INIT: ...OK\r";
    }
    const KwpFrame request = BuildRequestFrame(data.data(), static_cast<uint8_t>(data.size()));
    const ScriptedReply unit =
        rig.ecu.Answer(Bytes(request.data(), request.data() + request.size), 10400);
    if (unit.bytes.empty()) return prefix + "NO DATA";
    // The chip prints once the frame has ended on the K-line.
    latency = unit.latencyMs + static_cast<uint32_t>(unit.bytes.size()) * unit.byteMs;
    return prefix + ElmHex(unit.bytes.data(), unit.bytes.size());
  }

  SessionRig& rig;
  std::set<std::string> missing;
  bool countDigitMissing = false;
  bool woken = false;
  std::vector<std::string> lines;
};

SessionRig& ElmRig(SessionRig& rig, AdapterKind kind = AdapterKind::Elm,
                   DataSourceKind source = DataSourceKind::ManufacturerBlock) {
  Settings s = rig.settings.Get();
  s.Adapter = kind;
  s.Source = source;
  rig.settings.Set(s);
  return rig;
}

void StopAtPoll(SessionRig& rig, int poll) {
  int polls = 0;
  rig.ecu.onRequest = [&rig, poll, polls](uint8_t service) mutable {
    if (service == 0x21 && ++polls == poll) rig.stop.Set();
  };
}

TEST(ElmAdapter, CarriesTheWholeSessionAsTheKLineAdapterDoesAndPacesFromTheAnswer) {
  SessionRig rig(38400);  // a faster rate asked for: the chip's K-line stays at 10400
  ElmRig(rig, AdapterKind::Automatic);
  FakeElm elm(rig);
  StopAtPoll(rig, 3);
  std::string summary;
  rig.onSample = [&] { summary = rig.Summary(); };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);

  // Found by its prompt, reset, set up; the chip wakes the unit; no rate switch; each request
  // with the count digit; the closing requests, then the bus closed.
  const std::vector<std::string> expected = {
      "\x7F\x7F",   "ATZ",   "ATE0",         "ATL0",  "ATS0", "ATH1", "ATSP5",
      "ATSH8110F1", "ATKW0", "ATWM8110F13E", "ATAT1", "ATAL", "ATFI", "ATKW",
      "1A801",      "21011", "21011",        "21011", "201",  "821",  "ATPC"};
  EXPECT_EQ(elm.lines, expected);
  EXPECT_EQ(rig.worker.FoundAdapter(), AdapterKind::Elm);
  EXPECT_EQ(rig.samples.size(), 3u);
  EXPECT_EQ(summary, "COM1 : 10400 : Ошибок: 0");
  const auto statuses = rig.Statuses();
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), kContact), statuses.end());
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "ECU-NAME Ver. 1.2  20240101\r\n"),
            statuses.end());
  EXPECT_EQ(std::find(statuses.begin(), statuses.end(), kWarning), statuses.end());

  // 100 ms from the first byte of one answer to the next request, and no more.
  std::vector<uint32_t> firstBytes, requests;
  bool answering = false;
  for (const SerialEvent& e : rig.port.Events()) {
    if (e.kind == SerialEvent::Kind::Write) {
      requests.push_back(e.timeMs);
      answering = true;
    } else if (e.kind == SerialEvent::Kind::Read && answering && !e.bytes.empty()) {
      firstBytes.push_back(e.timeMs);
      answering = false;
    }
  }
  const size_t poll = std::find(elm.lines.begin(), elm.lines.end(), "21011") - elm.lines.begin();
  EXPECT_EQ(requests[poll + 1] - firstBytes[poll], 100u);
}

TEST(ElmAdapter, ClonesMissingCommandsFallBackOrSayClearlyWhy) {
  {
    // No ATFI, ATKW or count digit: the first request wakes the unit, its key bytes stay
    // unknown (no warning), the digit is dropped after one "?".
    SessionRig rig;
    ElmRig(rig);
    FakeElm elm(rig);
    elm.missing = {"FI", "KW", "WM", "AT1"};
    elm.countDigitMissing = true;
    rig.ecu.keyBytes = {0x01, 0x02};
    StopAtPoll(rig, 2);
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    EXPECT_EQ(rig.samples.size(), 2u);
    const auto statuses = rig.Statuses();
    EXPECT_EQ(std::find(statuses.begin(), statuses.end(), kWarning), statuses.end());
    EXPECT_EQ(std::count(elm.lines.begin(), elm.lines.end(), "1A801"), 1);
    EXPECT_EQ(std::count(elm.lines.begin(), elm.lines.end(), "1A80"), 1);
    EXPECT_EQ(std::count(elm.lines.begin(), elm.lines.end(), "2101"), 2);
  }
  {
    // Without ATAL the block cannot come through: said on the cause line, and the standard
    // data, which needs no long answers, is tried on the same chip instead.
    SessionRig rig;
    ElmRig(rig, AdapterKind::Elm, DataSourceKind::Automatic);
    FakeElm elm(rig);
    elm.missing = {"AL"};
    rig.onStatus = [&](const std::string& text) {
      if (text == Marks(1)) rig.stop.Set();
    };
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    ASSERT_FALSE(rig.causes.empty());
    EXPECT_NE(rig.causes.back().find("ATAL"), std::string::npos);
    EXPECT_EQ(std::count(elm.lines.begin(), elm.lines.end(), "2101"), 0);
    EXPECT_EQ(std::count(elm.lines.begin(), elm.lines.end(), "0100"), 1);
  }
  {
    // A silent control unit: the chip's bus init fails, and the worker waits as ever.
    SessionRig rig;
    ElmRig(rig);
    FakeElm elm(rig);
    rig.ecu.silent = true;
    rig.onStatus = [&](const std::string& text) {
      if (text == Marks(1)) rig.stop.Set();
    };
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    EXPECT_EQ(elm.lines.back(), "ATFI");
  }
}

TEST(ElmAdapter, AutomaticDetectionTakesAnEchoingAdapterForKLine) {
  SessionRig rig;
  ElmRig(rig, AdapterKind::Automatic);
  StopAtPoll(rig, 1);
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  // The probe's echo came back without a prompt at every speed, then the K-line session ran.
  const auto writes = rig.port.Writes();
  ASSERT_GE(writes.size(), std::size(ElmAdapter::kSpeeds));
  for (size_t i = 0; i < std::size(ElmAdapter::kSpeeds); ++i)
    EXPECT_EQ(writes[i], (Bytes{0x7F, 0x7F, '\r'}));
  EXPECT_GE(rig.Count(0x21), 1);
  EXPECT_EQ(rig.worker.FoundAdapter(), AdapterKind::KLine);

  // Remembered, it is tried without the probe; once it no longer reaches the unit, the next
  // opening finds out anew.
  SessionRig silent;
  ElmRig(silent, AdapterKind::Automatic);
  silent.worker.SetFoundAdapter(AdapterKind::KLine);
  silent.ecu.silent = true;
  silent.onStatus = [&](const std::string& text) {
    if (text == Marks(1)) silent.stop.Set();
  };
  EXPECT_EQ(silent.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_NE(silent.port.Writes().front(), (Bytes{0x7F, 0x7F, '\r'}));
  EXPECT_EQ(silent.worker.FoundAdapter(), AdapterKind::Automatic);
}

}  // namespace
}  // namespace drunvale::testing
