// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated ELM327 in front of a standard OBD-II car, spoken to as the program does.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/ecu_frames.h"
#include "sim/elm_format.h"
#include "sim/elm_host.h"
#include "sim/elm_pipe.h"

namespace drunvale::sim {
namespace {

using testing::ElmHost;
using testing::ElmReply;

const std::vector<std::string> kSetUp{"ATE0", "ATL0", "ATS0", "ATH1", "ATAL", "ATAT1"};

ElmSimConfig WithCar(ObdBus bus, ObdCarKind kind = ObdCarKind::FuelRate) {
  ElmSimConfig config;
  config.obdCar = ObdCarConfig{};
  config.obdCar->bus = bus;
  config.obdCar->kind = kind;
  return config;
}

// The lines before the prompt.
std::vector<std::string> Lines(const ElmReply& reply) {
  std::vector<std::string> lines;
  std::istringstream in(reply.text);
  for (std::string line; std::getline(in, line, '\r');) {
    if (!line.empty() && line != ">") lines.push_back(line);
  }
  return lines;
}

std::vector<uint8_t> Bytes(const std::string& hex) {
  return ParseHexBytes(hex).value_or(std::vector<uint8_t>{});
}

// The ISO-TP message from the 7E8 frames of an answer, PCI bytes checked on the way.
std::vector<uint8_t> CanMessage(const std::vector<std::string>& lines) {
  std::vector<uint8_t> message;
  size_t length = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() != 19 || lines[i].substr(0, 3) != "7E8") return {};
    const std::vector<uint8_t> d = Bytes(lines[i].substr(3));
    if (i == 0 && d[0] < 8) {
      length = d[0];
      message.assign(d.begin() + 1, d.begin() + 1 + static_cast<ptrdiff_t>(length));
    } else if (i == 0 && (d[0] >> 4) == 1) {
      length = ((d[0] & 0x0F) << 8) | d[1];
      message.assign(d.begin() + 2, d.end());
    } else {
      if (d[0] != 0x20 + i) return {};
      message.insert(message.end(), d.begin() + 1, d.end());
    }
  }
  if (message.size() < length) return {};
  message.resize(length);
  return message;
}

// PID, data pairs of a mode 01 answer, by PID.
std::map<uint8_t, std::vector<uint8_t>> Pids(const std::vector<uint8_t>& message) {
  static const std::map<uint8_t, size_t> kSizes{{0x03, 2}, {0x06, 1}, {0x07, 1}, {0x0B, 1},
                                                {0x0C, 2}, {0x0D, 1}, {0x0F, 1}, {0x10, 2},
                                                {0x11, 1}, {0x44, 2}, {0x51, 1}, {0x5E, 2}};
  std::map<uint8_t, std::vector<uint8_t>> pids;
  for (size_t i = 1; i < message.size();) {
    const size_t n = kSizes.count(message[i]) ? kSizes.at(message[i]) : 4;
    pids[message[i]].assign(message.begin() + static_cast<ptrdiff_t>(i + 1),
                            message.begin() + static_cast<ptrdiff_t>(i + 1 + n));
    i += 1 + n;
  }
  return pids;
}

class ElmObd : public ::testing::Test {
 protected:
  void Start(ElmSimConfig config) {
    pipe_ = std::make_unique<ElmPipe>(config, EcuSimConfig{}, clock_);
    host_ = std::make_unique<ElmHost>(*pipe_, clock_);
    ASSERT_EQ(Ask("ATZ").text, "ATZ\r\r\rELM327 v1.5\r\r>");
    for (const std::string& line : kSetUp)
      ASSERT_EQ(Lines(Ask(line)).back(), "OK") << line;
  }
  ElmReply Ask(const std::string& line) { return host_->Command(line, 8000); }

  ManualTickClock clock_;
  std::unique_ptr<ElmPipe> pipe_;
  std::unique_ptr<ElmHost> host_;
};

TEST_F(ElmObd, CanCarIsFoundBySearchAndAnswersInSingleFrames) {
  Start(WithCar(ObdBus::Can11At500));
  ASSERT_EQ(Ask("ATSP0").text, "OK\r\r>");
  const std::vector<std::string> first = Lines(Ask("0100"));
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0], "SEARCHING...");
  EXPECT_EQ(first[1].substr(0, 9), "7E8064100");
  EXPECT_EQ(first[1].substr(17), "AA");
  EXPECT_EQ(Ask("ATDPN").text, "A6\r\r>");
  EXPECT_EQ(Ask("ATDP").text, "AUTO, ISO 15765-4 (CAN 11/500)\r\r>");

  // The three bitmaps name exactly what the car answers.
  std::set<int> listed;
  for (const std::string request : {"0100", "0120", "0140"}) {
    const std::vector<uint8_t> m = CanMessage(Lines(Ask(request)));
    ASSERT_EQ(m.size(), 6u) << request;
    const uint32_t bits = (m[2] << 24) | (m[3] << 16) | (m[4] << 8) | m[5];
    for (int i = 0; i < 32; ++i) {
      if (bits & (1u << (31 - i))) listed.insert(m[1] + i + 1);
    }
  }
  for (int pid = 1; pid <= 0x60; ++pid) {
    char request[8];
    std::snprintf(request, sizeof request, "01%02X", pid);
    const std::vector<std::string> lines = Lines(Ask(request));
    EXPECT_EQ(lines.front() != "NO DATA", listed.count(pid) == 1) << request;
  }
  EXPECT_EQ(listed, (std::set<int>{0x01, 0x03, 0x06, 0x07, 0x0C, 0x0D, 0x0F, 0x10, 0x11, 0x20, 0x40,
                                   0x44, 0x51, 0x5E}));

  // With the count digit the chip returns as soon as the one answer is in.
  const ElmReply speed = Ask("010D1");
  const std::vector<std::string> lines = Lines(speed);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 9), "7E803410D");
  EXPECT_LT(speed.ms, 25u);
  EXPECT_GT(Ask("010D").ms, 100u);  // without it the chip waits for more answers
}

TEST_F(ElmObd, CanCarAnswersSixPidsAndTheVinInMultiFrames) {
  Start(WithCar(ObdBus::Can11At500));
  ASSERT_EQ(Ask("ATSP6").text, "OK\r\r>");
  EXPECT_EQ(Ask("ATDPN").text, "6\r\r>");
  std::set<std::vector<uint8_t>> orders;
  for (int i = 0; i < 3; ++i) {
    const std::vector<std::string> lines = Lines(Ask("010C0D10110B0F"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 5), "7E810");
    const std::vector<uint8_t> m = CanMessage(lines);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0], 0x41);
    std::vector<uint8_t> order;
    for (const auto& [pid, data] : Pids(m))
      order.push_back(pid);
    // 0B is not on this car; the rest come once each.
    EXPECT_EQ(order, (std::vector<uint8_t>{0x0C, 0x0D, 0x0F, 0x10, 0x11}));
    orders.insert({m[1], m[1 + 1 + 2]});
  }
  EXPECT_GT(orders.size(), 1u);

  const std::vector<std::string> vin = Lines(Ask("0902"));
  ASSERT_EQ(vin.size(), 3u);
  const std::vector<uint8_t> m = CanMessage(vin);
  ASSERT_EQ(m.size(), 20u);
  EXPECT_EQ(std::vector<uint8_t>(m.begin(), m.begin() + 3), (std::vector<uint8_t>{0x49, 2, 1}));
  EXPECT_EQ(std::string(m.begin() + 3, m.end()), "VF1DRUNVALE000001");
}

// A K-line answer line: the whole frame, its checksum right.
std::vector<uint8_t> KLineFrame(const std::string& line) {
  std::vector<uint8_t> b = Bytes(line);
  if (b.size() < 4 || Checksum(b.data(), b.size() - 1) != b.back()) return {};
  return b;
}

TEST_F(ElmObd, KwpCarAnswersOnePidAFrameAfterFastInit) {
  Start(WithCar(ObdBus::Kwp14230, ObdCarKind::Maf));
  ASSERT_EQ(Ask("ATSP5").text, "OK\r\r>");
  const std::vector<std::string> first = Lines(Ask("010D"));
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0], "BUS INIT: OK");
  const std::vector<uint8_t> speed = KLineFrame(first[1]);
  ASSERT_EQ(speed.size(), 7u);
  EXPECT_EQ(std::vector<uint8_t>(speed.begin(), speed.begin() + 4),
            (std::vector<uint8_t>{0x83, 0xF1, 0x10, 0x41}));
  EXPECT_EQ(speed[4], 0x0D);

  // Only the first PID of several, and nothing for the fuel rate this car lacks.
  const ElmReply several = Ask("010C0D1");
  const std::vector<std::string> lines = Lines(several);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 10), "84F110410C");
  // The line has been quiet for P3 already: 6 bytes out and 7 back at 10400 bit/s, the unit's P2.
  EXPECT_GE(several.ms, 6u + 30 + 7);
  EXPECT_LT(several.ms, 100u);
  EXPECT_EQ(Ask("015E").text, "NO DATA\r\r>");

  const std::vector<std::string> vin = Lines(Ask("0902"));
  ASSERT_EQ(vin.size(), 5u);
  std::string text;
  for (size_t i = 0; i < vin.size(); ++i) {
    const std::vector<uint8_t> b = KLineFrame(vin[i]);
    ASSERT_EQ(b.size(), 11u);
    EXPECT_EQ(b[0], 0x87);
    EXPECT_EQ(b[5], i + 1);
    text.append(b.begin() + 6, b.end() - 1);
  }
  EXPECT_EQ(text, std::string(3, '\0') + "VF1DRUNVALE000001");
}

TEST_F(ElmObd, Iso9141CarWakesOnTheFiveBaudInit) {
  Start(WithCar(ObdBus::Iso9141, ObdCarKind::SpeedDensity));
  ASSERT_EQ(Ask("ATSP3").text, "OK\r\r>");
  const ElmReply first = Ask("010B");
  const std::vector<std::string> lines = Lines(first);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "BUS INIT: ...OK");
  EXPECT_GE(first.ms, 2600u);
  const std::vector<uint8_t> map = KLineFrame(lines[1]);
  ASSERT_EQ(map.size(), 7u);
  EXPECT_EQ(std::vector<uint8_t>(map.begin(), map.begin() + 5),
            (std::vector<uint8_t>{0x48, 0x6B, 0x10, 0x41, 0x0B}));
  EXPECT_EQ(Lines(Ask("0110")).front(), "NO DATA");  // no air-flow sensor
  EXPECT_EQ(Lines(Ask("0902")).size(), 5u);
  EXPECT_EQ(Ask("ATKW").text, "1:08 2:08\r\r>");

  // A search comes to the same car.
  ASSERT_EQ(Ask("ATSP0").text, "OK\r\r>");
  const std::vector<std::string> searched = Lines(Ask("010C"));
  ASSERT_EQ(searched.size(), 2u);
  EXPECT_EQ(searched[0], "SEARCHING...");
  EXPECT_EQ(searched[1].substr(0, 10), "486B10410C");
  EXPECT_EQ(Ask("ATDPN").text, "A3\r\r>");
}

TEST_F(ElmObd, NoCarOrNoIgnitionIsUnableToConnect) {
  Start({});
  ASSERT_EQ(Ask("ATSP0").text, "OK\r\r>");
  EXPECT_EQ(Ask("0100").text, "SEARCHING...\rUNABLE TO CONNECT\r\r>");
  Start(WithCar(ObdBus::Can11At500));
  pipe_->SetIgnitionOff();
  ASSERT_EQ(Ask("ATSP0").text, "OK\r\r>");
  EXPECT_EQ(Ask("0100").text, "SEARCHING...\rUNABLE TO CONNECT\r\r>");
  EXPECT_EQ(Ask("ATDPN").text, "0\r\r>");
}

}  // namespace
}  // namespace drunvale::sim
