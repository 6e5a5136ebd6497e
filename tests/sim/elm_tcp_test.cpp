// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/kwp_link.h"
#include "link/link_test_outlets.h"
#include "platform/tcp_listener.h"
#include "settings/settings.h"
#include "sim/elm_server.h"
#include "sim/tcp_host_stream.h"

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;

// A Wi-Fi adapter on loopback: the real opener's socket:// connection to the simulated ELM327's
// listener. The adapter is found by itself, named without a speed, and polled; when it drops the connection the link
// says so, connects again and polls on.
TEST(ElmTcp, TheLinkPollsOverTcpAndConnectsAgainAfterTheAdapterDropsIt) {
  ListeningPort listening = ListenOnTcp("127.0.0.1", 0);
  ASSERT_NE(listening.listener, nullptr) << listening.systemError;
  const std::string address = "socket://127.0.0.1:" + std::to_string(listening.listener->Port());
  sim::ElmServer server(sim::ElmSimConfig{.quirks = {.dropAfterRequests = 40}});
  ASSERT_TRUE(server.Listen(sim::MakeTcpHostStreamListener(std::move(listening.listener))));

  Settings settings;
  settings.Port = address;
  SharedSettings shared(settings);
  TextLog texts;
  SampleLog samples;
  KwpLink link(shared, samples.Outlet(), nullptr, SystemTickClock(), OpenSystemSerialPort);
  link.Start(texts.Outlet());
  ASSERT_TRUE(samples.WaitFor(3, 30s));
  EXPECT_EQ(link.FoundAdapter(), AdapterKind::Elm);
  // A network address has no serial speed to tell.
  EXPECT_TRUE(texts.WaitFor("Адаптер ELM327 v1.5 на " + address + ".", 1, 1s));
  const std::vector<sim::ServedSample> served = server.ServedSamples();
  const std::vector<Sample> got = samples.All();
  ASSERT_GE(served.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i].speed, served[i].speed);
    EXPECT_EQ(got[i].fuel, served[i].fuel);
  }

  EXPECT_TRUE(texts.WaitFor("Связь с адаптером " + address + " потеряна.", 1, 60s));
  const size_t before = samples.All().size();
  EXPECT_TRUE(samples.WaitFor(before + 3, 60s));
  link.Stop();
  server.Stop();
}

}  // namespace
}  // namespace drunvale::testing
