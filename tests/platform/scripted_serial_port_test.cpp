// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/scripted_serial_port.h"

#include <gtest/gtest.h>

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(SerialPort& port, size_t n, bool* ok = nullptr) {
  Bytes buffer(n);
  IoResult r = port.Read(buffer.data(), n);
  buffer.resize(r.count);
  if (ok) *ok = r.ok;
  return buffer;
}

TEST(ScriptedSerialPort, ReadsEndByTheGapAndTotalLimitsOnVirtualTime) {
  ManualTickClock clock(1000);
  ScriptedSerialPort port(clock);

  // Nothing at all: the total limit, 100 + 100 per byte.
  EXPECT_TRUE(ReadBytes(port, 4).empty());
  EXPECT_EQ(clock.NowMs(), 1500u);

  // Three bytes 10 ms apart, then a pause past the 50 ms gap.
  port.Inject({1, 2, 3}, 1510, 10);
  port.Inject({4}, 1581);
  EXPECT_EQ(ReadBytes(port, 10), (Bytes{1, 2, 3}));
  EXPECT_EQ(clock.NowMs(), 1530u + 50);
  EXPECT_EQ(ReadBytes(port, 1), (Bytes{4}));
  EXPECT_EQ(clock.NowMs(), 1581u);

  // The gap limit never outlasts the total one: the second byte, 40 ms after the first, is
  // past the 300 ms a two-byte read may take.
  port.Inject({5, 6}, 1581 + 280, 40);
  EXPECT_EQ(ReadBytes(port, 2), (Bytes{5}));
  EXPECT_EQ(clock.NowMs(), 1581u + 300);
  EXPECT_EQ(ReadBytes(port, 2), (Bytes{6}));
  EXPECT_EQ(clock.NowMs(), 1581u + 320 + 50);
}

TEST(ScriptedSerialPort, EchoesRepliesAndPurgesOnlyWhatHasArrived) {
  ManualTickClock clock(0xFFFF'FFF0u);  // the schedule crosses the tick's wrap
  ScriptedSerialPort port(clock);
  port.SetByteTimeMs(2);
  port.SetResponder([](const Bytes& frame) {
    return ScriptedReply{{static_cast<uint8_t>(frame[0] + 1)}, 20, 3};
  });
  const Bytes frame{0x10, 0x20};
  ASSERT_EQ(port.Write(frame.data(), 2).count, 2u);

  // The echo is still on the wire, so a purge right after the write keeps it.
  EXPECT_TRUE(port.Purge());
  EXPECT_EQ(ReadBytes(port, 2), frame);
  EXPECT_EQ(clock.NowMs(), 0xFFFF'FFF0u + 4);
  EXPECT_EQ(ReadBytes(port, 1), (Bytes{0x11}));
  EXPECT_EQ(clock.NowMs(), 0xFFFF'FFF0u + 4 + 20 + 3);

  ASSERT_TRUE(port.Write(frame.data(), 2).ok);
  clock.Advance(100);
  EXPECT_TRUE(port.Purge());
  EXPECT_EQ(port.PendingBytes(), 0u);
}

TEST(ScriptedSerialPort, FaultsHangUpAndModemLines) {
  ManualTickClock clock(0);
  ScriptedSerialPort port(clock);
  const Bytes frame{1, 2, 3};

  port.ShortenNextWrite(2);
  EXPECT_EQ(port.Write(frame.data(), 3).count, 2u);
  port.FailRead(1);
  bool ok = false;
  EXPECT_EQ(ReadBytes(port, 2, &ok).size(), 2u);  // the echo
  EXPECT_TRUE(ok);
  ReadBytes(port, 3, &ok);
  EXPECT_FALSE(ok);

  port.SetModemLinesPresent(false);
  EXPECT_FALSE(port.SetRts(true));
  EXPECT_FALSE(port.rts());

  // Bytes that came before the hang-up are handed out, then the read fails at that moment.
  port.SetEcho(false);
  port.Inject({7, 8}, clock.NowMs() + 5);
  port.HangUpAt(clock.NowMs() + 30);
  const uint32_t hangUp = clock.NowMs() + 30;
  EXPECT_EQ(ReadBytes(port, 4, &ok), (Bytes{7, 8}));
  EXPECT_FALSE(ok);
  EXPECT_EQ(clock.NowMs(), hangUp);
  EXPECT_FALSE(port.Write(frame.data(), 3).ok);
  EXPECT_FALSE(port.Purge());
}

}  // namespace
}  // namespace drunvale
