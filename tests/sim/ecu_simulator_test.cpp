// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <thread>

#include "emulator.h"
#include "sim/drive_profile.h"
#include "sim/pty_client.h"

namespace drunvale::sim {
namespace {

using testing::AnswerData;
using testing::PtyClient;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// The session's seven request frames, as a tester sends them.
const Bytes kStopDiagnostic{0x81, 0x10, 0xF1, 0x20, 0xA2};
const Bytes kStopCommunication{0x81, 0x10, 0xF1, 0x82, 0x04};
const Bytes kStartCommunication{0x81, 0x10, 0xF1, 0x81, 0x03};
const Bytes kDiagnostic38400{0x83, 0x10, 0xF1, 0x10, 0x81, 0x26, 0x3B};
const Bytes kDiagnostic57600{0x83, 0x10, 0xF1, 0x10, 0x81, 0x39, 0x4E};
const Bytes kIdentification{0x82, 0x10, 0xF1, 0x1A, 0x80, 0x1D};
const Bytes kLiveData{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};

class SimLine : public ::testing::Test {
 protected:
  // The tester sets its rate as a real one does.
  void SetUp() override { DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES(); }

  void Start(EcuSimConfig config = {}) {
    sim_ = std::make_unique<EcuSimulator>(config);
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    client_ = std::make_unique<PtyClient>(sim_->DevicePath());
    ASSERT_TRUE(client_->IsOpen());
  }

  // Data of the answer, after checking that the echo was exact and the frame sound.
  Bytes Ask(const Bytes& request) {
    PtyClient::Reply reply = client_->Transact(request);
    EXPECT_EQ(reply.echo, request);
    Bytes data = AnswerData(reply.frame);
    EXPECT_FALSE(data.empty()) << "no sound answer, " << reply.frame.size() << " bytes";
    return data;
  }

  // Only the echo comes back.
  void ExpectSilence(const Bytes& request) {
    PtyClient::Reply reply = client_->Transact(request, 150);
    EXPECT_EQ(reply.echo, request);
    EXPECT_TRUE(reply.frame.empty());
  }

  RequestRecord LastRequest() { return sim_->Requests().back(); }

  std::unique_ptr<EcuSimulator> sim_;
  std::unique_ptr<PtyClient> client_;
};

TEST_F(SimLine, AnswersTheSessionRequestsInTheirFraming) {
  EcuSimConfig config;
  config.identity = {"ECU", "2.0", "X"};
  Start(config);

  EXPECT_EQ(Ask(kStopDiagnostic), Bytes{0x60});
  EXPECT_EQ(Ask(kStopCommunication), Bytes{0xC2});
  EXPECT_EQ(Ask(kStartCommunication), (Bytes{0xC1, 0x6B, 0x8F}));

  PtyClient::Reply id = client_->Transact(kIdentification);
  EXPECT_EQ(id.echo, kIdentification);
  Bytes data = AnswerData(id.frame);
  ASSERT_GE(data.size(), 1u + 96u);
  EXPECT_EQ(id.frame[0], 0x80);  // too long for the format byte: a length byte follows
  EXPECT_EQ(id.frame[3], data.size());
  EXPECT_EQ(data[0], 0x5A);
  const uint8_t* payload = data.data() + 1;
  EXPECT_EQ(payload[0], 0x80);
  EXPECT_EQ(Bytes(payload + 56, payload + 56 + 15),
            (Bytes{'E', 'C', 'U', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(payload + 78, payload + 78 + 10), (Bytes{'2', '.', '0', 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(payload + 88, payload + 88 + 8), (Bytes{'X', 0, 0, 0, 0, 0, 0, 0}));

  data = Ask(kLiveData);
  ASSERT_GE(data.size(), 1u + 29u);
  EXPECT_EQ(data[0], 0x61);
  EXPECT_EQ(data[1], 0x01);
  EXPECT_EQ(sim_->Requests().size(), 5u);
  for (const RequestRecord& r : sim_->Requests())
    EXPECT_EQ(r.outcome, RequestOutcome::Positive);
}

TEST_F(SimLine, LiveDataFieldsDecodeToTheRecordedSamples) {
  EcuSimConfig config;
  config.profileSpeedup = 100;  // through town and onto the highway within the test
  config.profileStartSeconds = 1270;
  Start(config);

  DriveProfile profile;
  std::vector<float> speeds;
  for (int i = 0; i < 6; ++i) {
    Bytes data = Ask(kLiveData);
    ASSERT_GE(data.size(), 30u);
    const uint8_t* p = data.data() + 1;
    ServedSample s = sim_->ServedSamples().back();
    ASSERT_TRUE(s.Accepted());
    EXPECT_EQ((p[3] & 1) == 0, s.running);
    EXPECT_EQ(static_cast<float>(p[18]), s.speed);
    EXPECT_EQ(static_cast<float>(p[23] | p[24] << 8) * 0.1f, s.air);
    EXPECT_EQ(static_cast<float>(p[27] | p[28] << 8) * 0.02f, s.fuel);
    LiveFields expected = EncodeLiveFields(profile.At(s.profileSeconds));
    EXPECT_EQ(s.speedByte, expected.speedByte);
    EXPECT_EQ(s.fuelRaw, expected.fuelRaw);
    // Paced at 10400 bit/s: 37 bytes after the 25 ms delay, the last one 36 byte times late.
    EXPECT_GE(s.sentAt - s.requestAt, 25ms + 36 * 961us);
    speeds.push_back(s.speed);
  }
  EXPECT_NE(speeds.front(), speeds.back());
  EXPECT_EQ(sim_->ServedSamples().size(), 6u);
}

TEST_F(SimLine, SwitchesRateOnlyAfterItsPositiveAnswer) {
  Start();
  EXPECT_EQ(Ask(kDiagnostic38400), (Bytes{0x50, 0x81}));
  RequestRecord switchRequest = LastRequest();
  EXPECT_EQ(switchRequest.testerRate, 10400u);
  EXPECT_EQ(switchRequest.ecuRate, 10400u);
  EXPECT_EQ(sim_->EcuLineRate(), 38400u);

  // A tester left at the old rate is noise to the control unit now.
  ExpectSilence(kLiveData);
  EXPECT_EQ(LastRequest().outcome, RequestOutcome::WrongLineRate);

  ASSERT_TRUE(client_->SetRate(38400));
  EXPECT_EQ(Ask(kLiveData)[0], 0x61);
  EXPECT_EQ(LastRequest().testerRate, 38400u);
  EXPECT_EQ(LastRequest().ecuRate, 38400u);

  EXPECT_EQ(Ask(kStopDiagnostic), Bytes{0x60});
  EXPECT_EQ(sim_->EcuLineRate(), 10400u);
  ASSERT_TRUE(client_->SetRate(10400));
  EXPECT_EQ(Ask(kDiagnostic57600), (Bytes{0x50, 0x81}));
  ASSERT_TRUE(client_->SetRate(57600));
  EXPECT_EQ(Ask(kStopCommunication), Bytes{0xC2});
  EXPECT_EQ(LastRequest().testerRate, 57600u);
  EXPECT_EQ(sim_->EcuLineRate(), 10400u);
}

TEST_F(SimLine, IgnitionOffSilencesTheControlUnitButNotTheAdapter) {
  Start();
  EXPECT_EQ(Ask(kDiagnostic38400)[0], 0x50);
  ASSERT_TRUE(client_->SetRate(38400));

  sim_->SetIgnitionOff();
  ExpectSilence(kLiveData);
  EXPECT_EQ(LastRequest().outcome, RequestOutcome::IgnitionOff);
  EXPECT_EQ(sim_->EcuLineRate(), 10400u);  // the session died with the power

  sim_->SetIgnitionOn();
  ASSERT_TRUE(client_->SetRate(10400));
  EXPECT_EQ(Ask(kStartCommunication)[0], 0xC1);

  sim_->SetIgnitionOff(400ms);
  ExpectSilence(kStartCommunication);
  for (int i = 0; i < 200 && !sim_->IgnitionOn(); ++i)
    std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(sim_->IgnitionOn());
  EXPECT_EQ(Ask(kStartCommunication)[0], 0xC1);
}

TEST_F(SimLine, FaultSwitchesShapeTheNextAnswers) {
  Start();
  sim_->ReplyBusy(2);
  EXPECT_EQ(Ask(kLiveData), (Bytes{0x7F, 0x21, 0x21}));
  EXPECT_EQ(Ask(kLiveData), (Bytes{0x7F, 0x21, 0x21}));
  EXPECT_EQ(LastRequest().negativeCode, 0x21);
  EXPECT_EQ(Ask(kLiveData)[0], 0x61);

  sim_->CorruptChecksums(1);
  PtyClient::Reply bad = client_->Transact(kLiveData);
  ASSERT_GE(bad.frame.size(), 5u);
  EXPECT_TRUE(AnswerData(bad.frame).empty());
  bad.frame.back() = static_cast<uint8_t>(bad.frame.back() - 1);
  EXPECT_FALSE(AnswerData(bad.frame).empty());  // off by one, nothing else
  EXPECT_FALSE(sim_->ServedSamples().back().Accepted());
  EXPECT_EQ(Ask(kLiveData)[0], 0x61);
  EXPECT_TRUE(sim_->ServedSamples().back().Accepted());

  sim_->InjectGarbage({0x00, 0x55, 0xFF});
  ASSERT_TRUE(client_->Write(kStartCommunication));
  EXPECT_EQ(client_->Read(5, 500), kStartCommunication);
  Bytes rest = client_->Read(3 + 7, 500);
  EXPECT_EQ(Bytes(rest.begin(), rest.begin() + 3), (Bytes{0x00, 0x55, 0xFF}));
  EXPECT_EQ(AnswerData(Bytes(rest.begin() + 3, rest.end())), (Bytes{0xC1, 0x6B, 0x8F}));

  sim_->SetKeyBytes(kUnknownKeyBytes);
  EXPECT_EQ(Ask(kStartCommunication), (Bytes{0xC1, 0xEF, 0x8F}));

  sim_->SetEngineStopped(true);
  Bytes data = Ask(kLiveData);
  ASSERT_GE(data.size(), 30u);
  EXPECT_EQ(data[1 + 3] & 1, 1);
  ServedSample stopped = sim_->ServedSamples().back();
  EXPECT_FALSE(stopped.running);
  EXPECT_EQ(stopped.fuel, 0.0f);
  sim_->SetEngineStopped(false);
  EXPECT_EQ(Ask(kLiveData)[1 + 3] & 1, 0);
}

TEST_F(SimLine, IgnoresMalformedFramesAndRefusesUnknownRequests) {
  Start();
  ExpectSilence({0x82, 0x10, 0xF1, 0x21, 0x01, 0xA6});  // checksum off by one
  ExpectSilence({0x82, 0x11, 0xF1, 0x21, 0x01, 0xA6});  // another control unit
  EXPECT_EQ(LastRequest().outcome, RequestOutcome::Malformed);

  // Noise before a frame is skipped; a frame cut short is given up after the gap.
  EXPECT_EQ(Ask({0x00, 0x81, 0x10, 0xF1, 0x81, 0x03})[0], 0xC1);
  size_t before = sim_->Requests().size();
  ASSERT_TRUE(client_->Write({0x82, 0x10, 0xF1}));
  EXPECT_EQ(client_->Read(3, 500).size(), 3u);
  ASSERT_TRUE(sim_->WaitForRequests(before + 1, 1000ms));
  EXPECT_EQ(LastRequest().frame, (Bytes{0x82, 0x10, 0xF1}));
  EXPECT_EQ(Ask(kStartCommunication)[0], 0xC1);

  EXPECT_EQ(Ask({0x81, 0x10, 0xF1, 0x3E, 0xC0}), (Bytes{0x7F, 0x3E, 0x11}));
  EXPECT_EQ(Ask({0x82, 0x10, 0xF1, 0x21, 0x02, 0xA6}), (Bytes{0x7F, 0x21, 0x12}));
}

TEST_F(SimLine, UnpluggedAdapterHangsTheTesterUp) {
  Start();
  std::string path = sim_->DevicePath();
  EXPECT_EQ(Ask(kStartCommunication)[0], 0xC1);
  sim_->Unplug();
  EXPECT_FALSE(sim_->Running());

  pollfd pfd{client_->fd(), POLLIN, 0};
  ASSERT_EQ(poll(&pfd, 1, 1000), 1);
  EXPECT_TRUE(pfd.revents & POLLHUP);
  uint8_t byte;
  ssize_t n = read(client_->fd(), &byte, 1);
  EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n;
  EXPECT_FALSE(client_->Write(kLiveData));
  EXPECT_EQ(client_->lastError(), EIO);
  EXPECT_LT(open(path.c_str(), O_RDWR | O_NOCTTY), 0);
  sim_->Stop();  // a second stop does nothing
}

}  // namespace
}  // namespace drunvale::sim
