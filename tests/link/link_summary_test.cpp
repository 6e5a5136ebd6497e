// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_summary.h"

#include <gtest/gtest.h>

namespace drunvale {
namespace {

TEST(LinkSummary, ShowsPortRateAndErrorsNeverNegative) {
  EXPECT_EQ(FormatLinkSummary("COM1", 10400, 3), "COM1 : 10400 : Ошибок: 3");
  EXPECT_EQ(FormatLinkSummary("/dev/ttyUSB0", 57600, -1), "/dev/ttyUSB0 : 57600 : Ошибок: 0");
}

}  // namespace
}  // namespace drunvale
