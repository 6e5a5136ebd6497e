// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_model.h"

#include <gtest/gtest.h>

#include "sim/ecu_frames.h"

namespace drunvale::sim {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

const SimTime kT0 = SimTime{} + 1000s;

TEST(KwpFrame, FormatByteOrLengthByte) {
  Bytes frame = BuildFrame(kTesterAddress, kEcuAddress, Bytes(63, 0x11));
  EXPECT_EQ(frame[0], 0xBF);
  EXPECT_EQ(frame.size(), 3u + 63 + 1);
  frame = BuildFrame(kTesterAddress, kEcuAddress, Bytes(64, 0x11));
  EXPECT_EQ(frame[0], 0x80);
  EXPECT_EQ(frame[3], 0x40);
  EXPECT_EQ(frame.size(), 4u + 64 + 1);
  EXPECT_EQ(BuildFrame(kEcuAddress, kTesterAddress, {0x21, 0x01}),
            (Bytes{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}));
}

TEST(FrameAssembler, CutsTheStreamIntoFrames) {
  FrameAssembler assembler(50ms);
  std::vector<ReceivedFrame> frames;
  // Noise, a request in the length-byte form, a misaddressed frame, a bad checksum.
  Bytes stream{0x00, 0xC1, 0x80, 0x10, 0xF1, 0x02, 0x21, 0x01, 0xA5, 0x81,
               0x10, 0x11, 0x81, 0x23, 0x81, 0x10, 0xF1, 0x81, 0x04};
  for (uint8_t b : stream) {
    if (auto f = assembler.Push(b, kT0)) frames.push_back(*f);
  }
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_TRUE(frames[0].Usable());
  EXPECT_EQ(frames[0].data, (Bytes{0x21, 0x01}));
  EXPECT_TRUE(frames[1].checksumOk);
  EXPECT_FALSE(frames[1].forEcu);
  EXPECT_FALSE(frames[2].checksumOk);
  EXPECT_FALSE(assembler.Deadline().has_value());

  assembler.Push(0x82, kT0);
  assembler.Push(0x10, kT0 + 10ms);
  EXPECT_EQ(assembler.Deadline(), kT0 + 60ms);
  EXPECT_FALSE(assembler.Expire(kT0 + 59ms).has_value());
  auto cut = assembler.Expire(kT0 + 60ms);
  ASSERT_TRUE(cut.has_value());
  EXPECT_FALSE(cut->complete);
  EXPECT_EQ(cut->bytes, (Bytes{0x82, 0x10}));
}

ReceivedFrame Request(const Bytes& data) {
  ReceivedFrame f;
  f.bytes = BuildFrame(kEcuAddress, kTesterAddress, data);
  f.data = data;
  f.complete = f.checksumOk = f.forEcu = true;
  return f;
}

TEST(EcuModel, IdleSessionFallsBackToTheWakeUpRate) {
  EcuModel model(EcuSimConfig{}, kT0);
  EcuReaction r = model.Receive(Request({0x10, 0x81, 0x39}), 10400, kT0);
  ASSERT_EQ(r.rateAfter, 57600u);
  EXPECT_EQ(model.LineRate(), 10400u);  // not before the answer has gone out
  model.SwitchLineRate(57600, kT0 + 30ms);
  EXPECT_EQ(model.NextDeadline(), kT0 + 5030ms);
  model.Advance(kT0 + 5029ms);
  EXPECT_EQ(model.LineRate(), 57600u);
  model.Advance(kT0 + 5030ms);
  EXPECT_EQ(model.LineRate(), 10400u);
  EXPECT_FALSE(model.NextDeadline().has_value());
}

TEST(EcuModel, TimedIgnitionOffAndPeriodicBusy) {
  EcuSimConfig config;
  config.busyEvery = 3;
  EcuModel model(config, kT0);
  model.SetIgnitionOff(kT0, 2000ms);
  EXPECT_EQ(model.Receive(Request({0x81}), 10400, kT0 + 1999ms).record.outcome,
            RequestOutcome::IgnitionOff);
  EcuReaction r = model.Receive(Request({0x81}), 10400, kT0 + 2000ms);
  EXPECT_EQ(r.record.outcome, RequestOutcome::Positive);

  EXPECT_EQ(model.Receive(Request({0x81}), 10400, kT0 + 3s).record.outcome,
            RequestOutcome::Positive);
  r = model.Receive(Request({0x81}), 10400, kT0 + 4s);
  EXPECT_EQ(r.record.outcome, RequestOutcome::Negative);
  EXPECT_EQ(r.transmit, BuildFrame(kTesterAddress, kEcuAddress, {0x7F, 0x81, 0x21}));
}

TEST(EcuModel, LiveDataFollowsTheScaledDriveAndMarksSpoiltAnswers) {
  EcuSimConfig config;
  config.profileSpeedup = 10;
  config.profileStartSeconds = 1400;
  EcuModel model(config, kT0);
  model.InjectGarbage({0x55}, 1);
  EcuReaction r = model.Receive(Request({0x21, 0x01}), 0, kT0 + 2s);
  ASSERT_TRUE(r.sample.has_value());
  EXPECT_DOUBLE_EQ(r.sample->profileSeconds, 1420.0);
  EXPECT_FALSE(r.sample->intact);
  EXPECT_EQ(r.transmit[0], 0x55);
  LiveFields expected = EncodeLiveFields(DriveProfile().At(1420.0));
  EXPECT_EQ(r.sample->speedByte, expected.speedByte);
  EXPECT_EQ(r.sample->airRaw, expected.airRaw);
  EXPECT_EQ(r.sample->fuelRaw, expected.fuelRaw);
  EXPECT_GE(r.sample->speed, 90.0f);
  EXPECT_TRUE(model.Receive(Request({0x21, 0x01}), 0, kT0 + 3s).sample->intact);
}

}  // namespace
}  // namespace drunvale::sim
