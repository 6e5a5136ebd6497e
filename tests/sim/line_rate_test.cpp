// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/line_rate.h"

#include "emulator.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "sim/pty_pair.h"

namespace drunvale::sim {
namespace {

// The simulator learns the tester's rate from its own master descriptor; this holds on Linux only
// because the master reports the slave's settings.
TEST(PtyLineRate, MasterReportsWhatTheSlaveWasSetTo) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  PtyPair pty;
  std::string error;
  ASSERT_TRUE(OpenRawPty(&pty, &error)) << error;
  int tester = open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(tester, 0);

  ASSERT_TRUE(SetRawLineRate(tester, 10400));
  EXPECT_EQ(ReadLineRate(pty.master), 10400u);

  termios tio{};
  ASSERT_EQ(tcgetattr(tester, &tio), 0);
  cfsetispeed(&tio, B57600);
  cfsetospeed(&tio, B57600);
  ASSERT_EQ(tcsetattr(tester, TCSANOW, &tio), 0);
  EXPECT_EQ(ReadLineRate(pty.master), 57600u);
  EXPECT_EQ(ReadLineRate(tester), 57600u);

  close(tester);
  ClosePty(&pty);
  EXPECT_FALSE(ReadLineRate(-1).has_value());
}

}  // namespace
}  // namespace drunvale::sim
