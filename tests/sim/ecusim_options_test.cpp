// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecusim_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace drunvale::sim {
namespace {

bool Parse(std::vector<const char*> args, EcuSimOptions* options, std::string* error) {
  args.insert(args.begin(), "drunvale-ecusim");
  return ParseEcuSimOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(EcuSimOptions, ReadsEveryOption) {
  EcuSimOptions o;
  std::string error;
  ASSERT_TRUE(Parse(
      {"--speedup", "10", "--unknown-key", "--ignition-off-after=30", "--ignition-off-for", "12.5",
       "--busy", "7", "--no-pacing", "--response-delay", "40", "--any-rate", "--profile-start",
       "700", "--link", "/tmp/ecu", "--unplug-after", "20", "--unplugged-for=8"},
      &o, &error))
      << error;
  EXPECT_EQ(o.config.profileSpeedup, 10);
  EXPECT_EQ(o.config.keyBytes, kUnknownKeyBytes);
  EXPECT_EQ(o.ignitionOffAfterS, 30);
  EXPECT_EQ(o.ignitionOffForS, 12.5);
  EXPECT_EQ(o.config.busyEvery, 7);
  EXPECT_FALSE(o.config.pacing);
  EXPECT_EQ(o.config.responseDelay, std::chrono::milliseconds(40));
  EXPECT_FALSE(o.config.enforceLineRate);
  EXPECT_EQ(o.config.profileStartSeconds, 700);
  EXPECT_EQ(o.link, "/tmp/ecu");
  EXPECT_EQ(o.unplugAfterS, 20);
  EXPECT_EQ(o.unpluggedForS, 8);
  EXPECT_FALSE(o.help);
}

TEST(EcuSimOptions, RefusesWhatItCannotUse) {
  for (std::vector<const char*> bad :
       std::vector<std::vector<const char*>>{{"--speedup"},
                                             {"--speedup", "0"},
                                             {"--speedup", "fast"},
                                             {"--busy", "2.5"},
                                             {"--no-pacing=1"},
                                             {"--ignition-off-for", "-1"},
                                             {"--link"},
                                             {"--turbo"}}) {
    EcuSimOptions o;
    std::string error;
    EXPECT_FALSE(Parse(bad, &o, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
  EcuSimOptions o;
  std::string error;
  EXPECT_TRUE(Parse({"--help"}, &o, &error));
  EXPECT_TRUE(o.help);
}

}  // namespace
}  // namespace drunvale::sim
