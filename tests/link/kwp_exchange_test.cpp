// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_exchange.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_serial_port.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;
using Kind = SerialEvent::Kind;

constexpr uint32_t kStart = 1000;
constexpr uint32_t kLatency = 20;

Bytes Response(const Bytes& data) {
  KwpFrame f = BuildResponseFrame(data.data(), static_cast<uint8_t>(data.size()));
  return Bytes(f.data(), f.data() + f.size);
}

const Bytes kLiveData = Response({0x61, 0x01, 0xAA, 0xBB});

// The exchange on an echoing adapter whose control unit answers each request with the next
// queued reply, 20 ms after the echo, one byte per millisecond; silent once the queue is empty.
struct Rig {
  Rig() {
    link.SetPort(&port);
    port.SetResponder([this](const Bytes& frame) {
      if (onWrite) onWrite(frame);
      ScriptedReply reply{{}, kLatency, 1};
      if (!replies.empty()) {
        reply.bytes = replies.front();
        replies.pop_front();
      }
      return reply;
    });
  }

  std::vector<uint32_t> Times(Kind kind) const {
    std::vector<uint32_t> times;
    for (const SerialEvent& e : port.Events()) {
      if (e.kind == kind) times.push_back(e.timeMs);
    }
    return times;
  }
  // When the last byte of the first attempt's reply came in.
  uint32_t FirstReplyEnd() const {
    uint32_t end = 0;
    for (const SerialEvent& e : port.Events()) {
      if (e.kind == Kind::Read) end = e.timeMs;
      if (e.kind == Kind::Purge && end != 0) break;
    }
    return end;
  }

  ManualTickClock clock{kStart};
  ManualStopEvent stop{clock};
  ScriptedSerialPort port{clock};
  bool rtsPulse = false;
  KwpExchange link{clock, stop, [this] { return rtsPulse; }};
  std::deque<Bytes> replies;
  std::function<void(const Bytes&)> onWrite;
};

TEST(KwpExchange, AcceptsBothHeaderFormsAndPacesTheNextRequest) {
  Rig rig;
  rig.replies = {Response({0x61, 0x01, 0x02}),
                 {0x80, 0xF1, 0x10, 0x05, 0x61, 0x01, 0x02, 0x03, 0x04, 0x00}};
  rig.replies.back().back() = KwpChecksum(rig.replies.back().data(), 9);

  ASSERT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.link.PayloadOffset(), 4u);
  EXPECT_EQ(rig.link.Payload().size(), 2u);
  EXPECT_EQ(rig.link.ReceiveBuffer()[4], 0x01);
  const uint32_t firstEnd = rig.link.LastReceiveTick();
  EXPECT_EQ(firstEnd, kStart + 6 + kLatency + 7);

  ASSERT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.link.PayloadOffset(), 5u);
  EXPECT_EQ(rig.link.Payload().size(), 4u);
  EXPECT_EQ(rig.link.ReceiveBuffer()[7], 0x03);
  EXPECT_EQ(rig.Times(Kind::Write), (std::vector<uint32_t>{kStart, firstEnd + 100}));
  EXPECT_EQ(rig.link.ErrorCount(), 0);
}

TEST(KwpExchange, RepeatsEveryReplyItCannotAccept) {
  const Bytes good = Response({0x61, 0x01, 0x02});
  Bytes badChecksum = good;
  badChecksum.back() ^= 0x01;
  auto withFormat = [&](uint8_t format) {
    Bytes b = good;
    b[0] = format;
    return b;
  };
  Bytes swapped = good;
  std::swap(swapped[1], swapped[2]);
  Bytes shortRest = Response({0x61, 0x01, 0x02, 0x03, 0x04});
  shortRest.resize(6);
  const std::vector<Bytes> bad = {
      swapped,
      withFormat(0xC3),
      withFormat(0x03),
      badChecksum,
      shortRest,
      Response({0xC1, 0xEF, 0x8F}),  // positive, but to StartCommunication
      Response({0x7F, 0x21, 0x12}),
      Response({0x7F, 0x1A, 0x21}),
      {0x80, 0xF1, 0x10, 0xFC},  // announces more than the buffer holds
  };
  for (const Bytes& reply : bad) {
    SCOPED_TRACE(testing::PrintToString(reply));
    Rig rig;
    rig.replies = {reply, good};
    EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
    EXPECT_EQ(rig.link.ErrorCount(), 1);
    EXPECT_EQ(rig.port.Writes().size(), 2u);
  }
}

TEST(KwpExchange, RepeatsAWrongOrShortEchoAndAShortWrite) {
  Rig rig;
  rig.port.SetEcho(false);
  const Bytes request{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  Bytes wrongEcho = request;
  wrongEcho[3] = 0x22;
  for (const Bytes& echo : {wrongEcho, Bytes(request.begin(), request.end() - 1), request}) {
    Bytes reply = echo;
    reply.insert(reply.end(), kLiveData.begin(), kLiveData.end());
    rig.replies.push_back(reply);
  }
  EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.link.ErrorCount(), 2);

  // The part that did go out is still on the line when the second attempt follows at once,
  // and spoils its echo; the third attempt comes after the pacing pause.
  Rig shortWrite;
  shortWrite.replies = {{}, {}, kLiveData};
  shortWrite.port.ShortenNextWrite(3);
  EXPECT_EQ(shortWrite.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(shortWrite.link.ErrorCount(), 2);
}

TEST(KwpExchange, BusyRepliesDelayTheNextAttempt) {
  const std::vector<std::pair<uint8_t, uint32_t>> delays = {
      {0x21, 200}, {0x77, 200}, {0x12, 100}, {0x78, 100}};
  for (const auto& [code, delay] : delays) {
    SCOPED_TRACE(code);
    Rig rig;
    rig.replies = {Response({0x7F, 0x21, code}), kLiveData};
    EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
    EXPECT_EQ(rig.link.ErrorCount(), 1);
    EXPECT_EQ(rig.Times(Kind::Write).at(1), rig.FirstReplyEnd() + delay);
  }
}

TEST(KwpExchange, SilentControlUnitUsesUpTheBudget) {
  Rig rig;
  rig.link.SetErrorCount(5);
  EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::NoAnswer);
  EXPECT_EQ(rig.link.ErrorCount(), 5 + 19);
  const std::vector<uint32_t> writes = rig.Times(Kind::Write);
  ASSERT_EQ(writes.size(), 20u);
  // Echo 6 ms, the header read gives up after 500 ms, then the pacing's 100 ms.
  EXPECT_EQ(writes[1] - writes[0], 606u);

  EXPECT_EQ(rig.link.Exchange({0x82}), ExchangeResult::NoAnswer);
  EXPECT_EQ(rig.link.ErrorCount(), 5 + 19 + 3);
  EXPECT_EQ(rig.port.Writes().size(), 23u);
}

TEST(KwpExchange, StopEndsOrdinaryRequestsButNotTheClosingOnes) {
  Rig rig;
  rig.stop.Set();
  EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Stopped);
  EXPECT_TRUE(rig.port.Events().empty());

  EXPECT_EQ(rig.link.Exchange({0x20}), ExchangeResult::NoAnswer);
  EXPECT_EQ(rig.link.ErrorCount(), 3);
  rig.replies = {Response({0xC2})};
  EXPECT_EQ(rig.link.Exchange({0x82}), ExchangeResult::Ok);
  EXPECT_EQ(rig.port.Writes().size(), 4u);

  // A stop that comes while the second attempt waits for its reply: no third attempt.
  Rig late;
  late.stop.SetAt(kStart + 1000);
  EXPECT_EQ(late.link.Exchange({0x21, 0x01}), ExchangeResult::Stopped);
  EXPECT_EQ(late.port.Writes().size(), 2u);
  EXPECT_EQ(late.link.ErrorCount(), 2);
}

TEST(KwpExchange, PortFailuresEndTheExchangeAtOnce) {
  const std::vector<std::function<void(ScriptedSerialPort&)>> faults = {
      [](ScriptedSerialPort& p) { p.FailRead(); },   // echo
      [](ScriptedSerialPort& p) { p.FailRead(1); },  // header
      [](ScriptedSerialPort& p) { p.FailRead(2); },  // rest
      [](ScriptedSerialPort& p) { p.FailPurge(); },
      [](ScriptedSerialPort& p) { p.FailWrite(); },
      [](ScriptedSerialPort& p) { p.HangUpAt(kStart + 10); },
  };
  for (size_t i = 0; i < faults.size(); ++i) {
    SCOPED_TRACE(i);
    Rig rig;
    rig.replies = {kLiveData};
    faults[i](rig.port);
    EXPECT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::PortError);
    EXPECT_EQ(rig.link.ErrorCount(), 0);
  }

  Rig noPort;
  noPort.link.SetPort(nullptr);
  EXPECT_EQ(noPort.link.Exchange({0x21, 0x01}), ExchangeResult::PortError);
  EXPECT_FALSE(noPort.link.SetBaudRate(10400));
}

TEST(KwpExchange, RefusesRequestsThatCannotBeEchoedIntoTheBuffer) {
  Rig rig;
  EXPECT_EQ(rig.link.Exchange(nullptr, 0), ExchangeResult::NoAnswer);
  const Bytes tooLong(252, 0x21);
  EXPECT_EQ(rig.link.Exchange(tooLong.data(), 252), ExchangeResult::NoAnswer);
  EXPECT_TRUE(rig.port.Events().empty());

  // The longest request that fits: its 256-byte echo fills the buffer.
  rig.replies = {Response({0x61})};
  EXPECT_EQ(rig.link.Exchange(tooLong.data(), 251), ExchangeResult::Ok);
}

TEST(KwpExchange, RtsPulseIsReadAtEveryAttemptAndAddsFiftyMs) {
  Rig rig;
  rig.rtsPulse = true;
  rig.replies = {Response({0x7F, 0x21, 0x12}), kLiveData, kLiveData};
  int writes = 0;
  rig.onWrite = [&](const Bytes&) { rig.rtsPulse = ++writes != 1; };
  ASSERT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.Times(Kind::Rts), (std::vector<uint32_t>{kStart, kStart + 25}));
  EXPECT_EQ(rig.Times(Kind::Write).at(0), kStart + 50);
  EXPECT_EQ(rig.Times(Kind::Write).at(1), rig.FirstReplyEnd() + 100);  // no pulse this time

  const uint32_t lastReceive = rig.link.LastReceiveTick();
  ASSERT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.Times(Kind::Rts).at(2), lastReceive + 100);
  EXPECT_EQ(rig.Times(Kind::Write).at(2), lastReceive + 150);
  EXPECT_FALSE(rig.port.rts());
}

TEST(KwpExchange, SetBaudRateKeepsTheLastGoodRate) {
  Rig rig;
  EXPECT_TRUE(rig.link.SetBaudRate(10400));
  rig.port.FailSetLine();
  EXPECT_FALSE(rig.link.SetBaudRate(57600));
  EXPECT_EQ(rig.link.CurrentBaud(), 10400);
  EXPECT_TRUE(rig.link.SetBaudRate(38400));
  EXPECT_EQ(rig.link.CurrentBaud(), 38400);
  EXPECT_EQ(rig.port.baud(), 38400u);
}

TEST(KwpExchange, GoldenTranscriptOfABusyThenPositiveReply) {
  Rig rig;
  rig.replies = {Response({0x7F, 0x21, 0x21}), kLiveData};
  ASSERT_EQ(rig.link.Exchange({0x21, 0x01}), ExchangeResult::Ok);
  EXPECT_EQ(rig.port.Transcript(),
            "1000 purge\n"
            "1000 write 82 10 F1 21 01 A5\n"
            "1006 read 6/6 82 10 F1 21 01 A5\n"
            "1030 read 4/4 83 F1 10 7F\n"
            "1033 read 3/3 21 21 45\n"
            "1233 purge\n"
            "1233 write 82 10 F1 21 01 A5\n"
            "1239 read 6/6 82 10 F1 21 01 A5\n"
            "1263 read 4/4 84 F1 10 61\n"
            "1267 read 4/4 01 AA BB 4C\n");
}

}  // namespace
}  // namespace drunvale
