// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_pipe.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "sim/ecu_blocks.h"
#include "sim/ecu_frames.h"
#include "sim/elm_format.h"
#include "sim/elm_host.h"

namespace drunvale::sim {
namespace {

using testing::ElmHost;
using testing::ElmReply;

// The set-up a K-line program sends: echo and spaces off, headers on, long answers, ISO 14230-4
// fast init to the unit's own address.
const std::vector<std::string> kSetUp{"ATL0", "ATS0", "ATH1", "ATAL", "ATSP5", "ATSH8110F1"};

class ElmConversation : public ::testing::Test {
 protected:
  ElmReply Ask(const std::string& line) { return host_.Command(line); }
  void SetUp() override {
    ASSERT_TRUE(host_.Open());
    ASSERT_EQ(Ask("ATE0").text, "ATE0\rOK\r\r>");
    for (const std::string& line : kSetUp)
      ASSERT_EQ(Ask(line).text, "OK\r\r>") << line;
  }

  ManualTickClock clock_;
  ElmPipe pipe_{{}, {}, clock_};
  ElmHost host_{pipe_, clock_};
};

// The whole frame as hex without spaces, the line and the blank line before the prompt.
std::vector<uint8_t> FrameOf(const ElmReply& reply) {
  const std::string& text = reply.text;
  const size_t end = text.find("\r\r>");
  if (end == std::string::npos) return {};
  return ParseHexBytes(text.substr(0, end)).value_or(std::vector<uint8_t>{});
}

TEST(ElmChip, ResetsWithEchoAndDescribesItself) {
  ManualTickClock clock;
  ElmPipe pipe({}, {}, clock);
  ElmHost host(pipe, clock);
  ElmReply reset = host.Command("AT Z");
  EXPECT_EQ(reset.text, "AT Z\r\r\rELM327 v1.5\r\r>");
  EXPECT_GE(reset.ms, 900u);
  // E0's own OK still comes echoed; after it nothing is.
  EXPECT_EQ(host.Command("ate0").text, "ate0\rOK\r\r>");
  EXPECT_EQ(host.Command("ATI").text, "ELM327 v1.5\r\r>");
  EXPECT_EQ(host.Command("AT@1").text, "OBDII to RS232 Interpreter\r\r>");
  EXPECT_EQ(host.Command("ATRV").text, "12.6V\r\r>");
  EXPECT_EQ(host.Command("ATDP").text, "AUTO\r\r>");
  EXPECT_EQ(host.Command("ATSP A5").text, "OK\r\r>");
  EXPECT_EQ(host.Command("ATDPN").text, "A5\r\r>");
  EXPECT_EQ(host.Command("ATL1").text, "OK\r\n\r\n>");
  EXPECT_EQ(host.Command("ATXYZ").text, "?\r\n\r\n>");
  EXPECT_EQ(host.Command("21 0").text, "?\r\n\r\n>");
}

TEST_F(ElmConversation, ReadsTheLiveBlockWholeWithHeadersAndChecksum) {
  EXPECT_EQ(Ask("ATFI").text, "BUS INIT: OK\r\r>");
  EXPECT_EQ(Ask("ATKW").text, "1:6B 2:8F\r\r>");
  EXPECT_EQ(Ask("ATDP").text, "ISO 14230-4 (KWP FAST)\r\r>");

  const std::vector<uint8_t> frame = FrameOf(Ask("2101"));
  const size_t data = 1 + kLiveDataBlockSize;
  ASSERT_EQ(frame.size(), 3 + data + 1);
  EXPECT_EQ(frame[0], 0x80 | data);
  EXPECT_EQ(frame[1], kTesterAddress);
  EXPECT_EQ(frame[2], kEcuAddress);
  EXPECT_EQ(frame[3], 0x61);
  EXPECT_EQ(frame.back(), Checksum(frame.data(), frame.size() - 1));
  // The block is the one the unit served, to the request the chip framed.
  const std::vector<ServedSample> served = pipe_.ServedSamples();
  ASSERT_EQ(served.size(), 1u);
  EXPECT_TRUE(served[0].sent);
  EXPECT_EQ(frame[4 + kLiveSpeedOffset], served[0].speedByte);
  const RequestRecord request = pipe_.Requests().back();
  EXPECT_EQ(request.frame, (std::vector<uint8_t>{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}));

  // A format byte without length bits: the length follows the addresses, both ways.
  Ask("ATSH8010F1");
  const std::vector<uint8_t> longForm = FrameOf(Ask("2101"));
  EXPECT_EQ(pipe_.Requests().back().frame,
            (std::vector<uint8_t>{0x80, 0x10, 0xF1, 0x02, 0x21, 0x01, 0xA5}));
  EXPECT_EQ(longForm.size(), frame.size());

  // Headers off: the data alone; spaces on: between the bytes.
  Ask("ATH0");
  Ask("ATS1");
  ElmReply spaced = Ask("1A80");
  EXPECT_EQ(spaced.text.rfind("5A 80 ", 0), 0u) << spaced.text;
  EXPECT_EQ(spaced.text.size(), (1 + kIdentificationBlockSize) * 3 - 1 + 3);
}

TEST_F(ElmConversation, ALoneCrRepeatsAndACountDigitEndsTheWaitEarly) {
  ElmReply first = Ask("2101");
  EXPECT_EQ(first.text.rfind("BUS INIT: OK\r", 0), 0u) << first.text;
  ElmReply waited = Ask("2101");
  ElmReply repeated = Ask("");
  EXPECT_EQ(FrameOf(repeated).size(), FrameOf(waited).size());
  EXPECT_EQ(pipe_.ServedSamples().size(), 3u);
  // Told to expect one answer, the chip does not wait out the timer after it.
  ElmReply counted = Ask("21011");
  EXPECT_EQ(FrameOf(counted).size(), FrameOf(waited).size());
  EXPECT_LT(counted.ms + 20, waited.ms);
}

TEST_F(ElmConversation, AByteBeforeThePromptStopsTheRequest) {
  ASSERT_EQ(Ask("ATFI").text, "BUS INIT: OK\r\r>");
  ASSERT_TRUE(host_.Write("2101\r"));
  // The data line is out; the chip still waits for more answers when the host speaks.
  ElmReply line = host_.ReadBurst(10);
  ASSERT_EQ(line.text.size(), (3 + 1 + kLiveDataBlockSize + 1) * 2 + 1) << line.text;
  ASSERT_TRUE(host_.Write("\r"));
  ElmReply rest = host_.ReadToPrompt();
  EXPECT_EQ(rest.text, "STOPPED\r\r>");
  EXPECT_EQ(Ask("ATI").text, "ELM327 v1.5\r\r>");
}

TEST_F(ElmConversation, IgnitionOffFailsTheInitThenAnswersNoData) {
  pipe_.SetIgnitionOff();
  EXPECT_EQ(Ask("ATFI").text, "BUS INIT: ERROR\r\r>");
  EXPECT_EQ(Ask("2101").text, "BUS INIT: ERROR\r\r>");
  pipe_.SetIgnitionOn();
  EXPECT_EQ(Ask("ATFI").text, "BUS INIT: OK\r\r>");
  pipe_.SetIgnitionOff();
  EXPECT_EQ(Ask("2101").text, "NO DATA\r\r>");
  // With the default header the init goes to the functional address, which this unit ignores.
  pipe_.SetIgnitionOn();
  Ask("ATD");
  Ask("ATE0");
  Ask("ATSP5");
  EXPECT_EQ(Ask("ATFI").text, "BUS INIT: ERROR\r\r>");
}

}  // namespace
}  // namespace drunvale::sim
