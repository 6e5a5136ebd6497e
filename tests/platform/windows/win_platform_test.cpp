// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/serial_port_probe.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;

// Loose bounds: these check the units of each clock, not how punctually Wine sleeps.
TEST(WindowsClocks, TheTickCountsMillisecondsAndTheCounterItsOwnFrequency) {
  TickClock& tick = SystemTickClock();
  HighResClock& counter = SystemHighResClock();
  ASSERT_GT(counter.Frequency(), 0);
  const uint32_t tick0 = tick.NowMs();
  const int64_t count0 = counter.Now();
  tick.SleepMs(100);
  const uint32_t tickMs = tick.NowMs() - tick0;
  const double counterMs = 1000.0 * static_cast<double>(counter.Now() - count0) /
                           static_cast<double>(counter.Frequency());
  // GetTickCount moves in steps of up to 16 ms; under Wine its server moves it, late when the
  // machine is busy (81 ms seen here). Still milliseconds, not seconds or counter ticks.
  EXPECT_GE(tickMs, 50u);
  EXPECT_LT(tickMs, 2000u);
  EXPECT_GE(counterMs, 99.0);
  EXPECT_LT(counterMs, 2000.0);
}

TEST(WindowsPortList, ComPortsByNumberEachOnce) {
  EXPECT_THAT(OrderComPorts({"COM10", "com2", "COM1", "CNCA0", "COM2", "COMX", "COM3"}),
              ElementsAre("COM1", "com2", "COM3", "COM10", "CNCA0", "COMX"));
  // Whatever Wine lists, it comes in that order.
  std::vector<std::string> present;
  for (const SerialPortName& port : ListSerialPorts())
    present.push_back(port.path);
  EXPECT_EQ(OrderComPorts(present), present);
}

}  // namespace
}  // namespace drunvale
