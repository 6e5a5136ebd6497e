// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_pipe.h"

#include <gtest/gtest.h>

#include <chrono>

#include "link/kwp_link.h"
#include "link/link_test_outlets.h"
#include "settings/settings.h"
#include "sim/ecu_blocks.h"

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;

// The real link polls the control unit through the pipe, as --demo does where there is no
// pseudo-terminal.
TEST(EcuPipe, TheLinkPollsSamplesAtTheLineRateUntilTheAdapterIsPulled) {
  sim::EcuPipe pipe;
  Settings settings;
  settings.Port = "demo";
  settings.Params.RtsPulse = false;
  SharedSettings shared(settings);
  TextLog texts;
  SampleLog samples;
  KwpLink link(shared, samples.Outlet(), nullptr, SystemTickClock(), [&](const std::string& port) {
    EXPECT_EQ(port, "demo");
    return pipe.Open();
  });
  link.Start(texts.Outlet());
  ASSERT_TRUE(samples.WaitFor(3, 20s));
  EXPECT_TRUE(texts.WaitFor("DRUNVALE ECUSIM Ver. 1.1  K-LINE\r\n", 1, 1s));

  const OpenedPort second = pipe.Open();
  EXPECT_EQ(second.port, nullptr);
  EXPECT_EQ(second.error.failure, OpenFailure::Busy);

  // What the link decoded is what the control unit served, each block sent byte by byte at
  // 10400 bit/s after the response delay: frame header, service id, block and checksum.
  const std::vector<sim::ServedSample> served = pipe.ServedSamples();
  const std::vector<Sample> got = samples.All();
  ASSERT_GE(served.size(), 3u);
  const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / 10400);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i].speed, served[i].speed);
    EXPECT_EQ(got[i].air, served[i].air);
    EXPECT_EQ(got[i].fuel, served[i].fuel);
    ASSERT_TRUE(served[i].sent);
    const size_t frameBytes = 3 + 1 + sim::kLiveDataBlockSize + 1;
    EXPECT_EQ(served[i].sentAt - served[i].requestAt,
              sim::EcuSimConfig{}.responseDelay + byteTime * (frameBytes - 1));
  }

  // A pulled adapter is a port failure: the worker says so and keeps trying to open it again.
  pipe.Unplug();
  EXPECT_TRUE(texts.WaitFor("Связь с адаптером demo потеряна.", 1, 10s));
  EXPECT_TRUE(texts.WaitFor("Не удаётся открыть demo.", 1, 10s));
  EXPECT_TRUE(link.WorkerRunning());
  EXPECT_EQ(link.LinkSummary(), "");
  link.Stop();
  EXPECT_FALSE(link.WorkerRunning());
}

}  // namespace
}  // namespace drunvale::testing
