// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator.h"
#include "sim/elm_server.h"
#include "sim/pty_client.h"
#include "sim/pty_host_stream.h"

namespace drunvale::sim {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// The server's thread on a real terminal: the chip understands the tester only at its own rate,
// and a stopped server hangs the terminal up.
TEST(ElmOnAPseudoTerminal, AnswersAtItsRateAndHangsUpWhenStopped) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  ElmServer server;
  std::string error;
  std::unique_ptr<PtyHostStream> stream = PtyHostStream::Open(&error);
  ASSERT_TRUE(stream) << error;
  testing::PtyClient client(stream->DevicePath());
  ASSERT_TRUE(client.IsOpen());
  ASSERT_TRUE(server.Serve(std::move(stream)));

  ASSERT_TRUE(client.SetRate(38400));
  ASSERT_TRUE(client.Write(Bytes("ATI\r")));
  EXPECT_EQ(client.Read(18, 2000), Bytes("ATI\rELM327 v1.5\r\r>"));

  ASSERT_TRUE(client.SetRate(9600));
  ASSERT_TRUE(client.Write(Bytes("ATI\r")));
  const std::vector<uint8_t> garbage = client.Read(18, 300);
  EXPECT_EQ(std::string(garbage.begin(), garbage.end()).find("ELM"), std::string::npos);

  EXPECT_TRUE(server.Running());
  server.Stop();
  EXPECT_TRUE(client.Read(1, 2000).empty());
  EXPECT_TRUE(client.hungUp());
}

}  // namespace
}  // namespace drunvale::sim
