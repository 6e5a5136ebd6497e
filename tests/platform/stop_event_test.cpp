// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <thread>

#include "platform/testing/manual_clock.h"
#include "platform/thread_stop_event.h"

namespace drunvale {
namespace {

TEST(ThreadStopEvent, TellsSignalledFromTimedOutAndStaysSetUntilReset) {
  ThreadStopEvent event;
  EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
  EXPECT_EQ(event.Wait(5), WaitResult::TimedOut);

  std::thread setter([&] { event.Set(); });
  EXPECT_EQ(event.Wait(10'000), WaitResult::Signalled);
  setter.join();
  // Manual reset: every later wait still sees it.
  EXPECT_EQ(event.Wait(0), WaitResult::Signalled);
  EXPECT_TRUE(event.IsSet());

  event.Reset();
  EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(ManualStopEvent, WaitsMoveVirtualTimeAndSetAtFiresMidWait) {
  ManualTickClock clock(0xFFFF'FFF0u);  // across the wrap
  ManualStopEvent event(clock);
  EXPECT_EQ(event.Wait(100), WaitResult::TimedOut);
  EXPECT_EQ(clock.NowMs(), 0x54u);

  event.SetAt(0x54u + 30);
  EXPECT_EQ(event.Wait(100), WaitResult::Signalled);
  EXPECT_EQ(clock.NowMs(), 0x54u + 30);
  EXPECT_EQ(event.Wait(100), WaitResult::Signalled);
  EXPECT_EQ(clock.NowMs(), 0x54u + 30);
}

}  // namespace
}  // namespace drunvale
