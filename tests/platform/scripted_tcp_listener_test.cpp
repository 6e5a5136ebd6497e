// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/scripted_tcp_listener.h"

#include <gtest/gtest.h>

#include "platform/testing/scripted_serial_port.h"

namespace drunvale {
namespace {

TEST(ScriptedTcpListener, HandsOutClientsByTheirTimesAndStopsOnVirtualTime) {
  ManualTickClock clock(1000);
  ScriptedTcpListener listener(clock);
  auto early = std::make_unique<ScriptedSerialPort>(clock);
  const SerialPort* earlyPort = early.get();
  listener.Arrive(std::make_unique<ScriptedSerialPort>(clock), 1300);
  listener.Arrive(std::move(early), 1200);

  EXPECT_EQ(listener.Accept(100).status, AcceptStatus::TimedOut);
  EXPECT_EQ(clock.NowMs(), 1100u);
  AcceptedClient first = listener.Accept(1000);
  EXPECT_EQ(first.status, AcceptStatus::Accepted);
  EXPECT_EQ(first.port.get(), earlyPort);  // by arrival, not by the order they were given
  EXPECT_EQ(clock.NowMs(), 1200u);

  listener.FailNextAccept(24);
  const AcceptedClient failed = listener.Accept(0);
  EXPECT_EQ(failed.status, AcceptStatus::Failed);
  EXPECT_EQ(failed.systemError, 24);

  // The stop comes before the second client: it stays queued.
  listener.StopAt(1250);
  EXPECT_EQ(listener.Accept(1000).status, AcceptStatus::Stopped);
  EXPECT_EQ(clock.NowMs(), 1250u);
  EXPECT_EQ(listener.Accept(1000).status, AcceptStatus::Stopped);
  EXPECT_EQ(clock.NowMs(), 1250u);
  EXPECT_EQ(listener.Waiting(), 1u);
}

}  // namespace
}  // namespace drunvale
