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

TEST(EcuSimOptions, ReadsTheElmFrontEndAndEveryCloneSwitch) {
  EcuSimOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--elm", "--tcp", "35000", "--no-pacing", "--clone",
                     "no-fi,no-kw,no-al,no-sw,no-wm,no-st,no-at,two-letter,nul-reset,split-prompt,"
                     "no-stop,bus-init-line,data-error,freeze-long,drop=3,baud=9600,slow=4800,"
                     "version=ELM327 v2.1"},
                    &o, &error))
      << error;
  EXPECT_TRUE(o.elm);
  EXPECT_EQ(o.tcpPort, 35000);
  const ElmSimConfig& elm = o.elmConfig;
  const ElmQuirks& q = elm.quirks;
  for (bool on : {q.noFi, q.noKw, q.noAl, q.noSw, q.noWm, q.noSt, q.noAt, q.twoLetterCommands,
                  q.garbageBeforeBanner, q.splitPrompt, q.ignoresEarlyBytes, q.busInitLine,
                  q.freezeOnLongAnswer}) {
    EXPECT_TRUE(on);
  }
  EXPECT_EQ(q.dataErrorEvery, 10);
  EXPECT_EQ(q.dropAfterRequests, 3);
  EXPECT_EQ(elm.serialRate, 9600u);
  EXPECT_EQ(elm.throughputRate, 4800u);
  EXPECT_EQ(elm.version, "ELM327 v2.1");
  EXPECT_FALSE(elm.serialPacing);
  EXPECT_FALSE(o.config.pacing);

  // A chip without --clone is a genuine one.
  EcuSimOptions genuine;
  ASSERT_TRUE(Parse({"--elm"}, &genuine, &error)) << error;
  EXPECT_FALSE(genuine.elmConfig.quirks.noFi);
  EXPECT_EQ(genuine.elmConfig.serialRate, 38400u);
  EXPECT_FALSE(genuine.tcpPort);
  EXPECT_FALSE(genuine.elmConfig.obdCar);

  EcuSimOptions obd;
  ASSERT_TRUE(Parse({"--elm", "--obd-car", "speed-density", "--obd", "kline9141", "--obd-only",
                     "--dtc", "P0130,c1234,U3FFF:pending"},
                    &obd, &error))
      << error;
  ASSERT_TRUE(obd.elmConfig.obdCar);
  EXPECT_EQ(obd.elmConfig.obdCar->bus, ObdBus::Iso9141);
  EXPECT_EQ(obd.elmConfig.obdCar->kind, ObdCarKind::SpeedDensity);
  EXPECT_FALSE(obd.elmConfig.obdCar->manufacturerUnit);
  const std::vector<SimTroubleCode>& codes = obd.config.troubleCodes;
  ASSERT_EQ(codes.size(), 3u);
  EXPECT_EQ(codes[1].code, 0x5234);
  EXPECT_TRUE(codes[2].pending && codes[2].code == 0xFFFF);
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
                                             {"--turbo"},
                                             {"--clone", "no-fi"},
                                             {"--tcp", "35000"},
                                             {"--elm", "--tcp", "0"},
                                             {"--elm", "--tcp", "35000", "--link", "/tmp/x"},
                                             {"--elm", "--clone", "turbo"},
                                             {"--elm", "--clone", "no-fi=1"},
                                             {"--elm", "--clone", "no-fi,"},
                                             {"--elm", "--clone", "baud=fast"},
                                             {"--elm", "--clone", "data-error=0"},
                                             {"--obd", "can"},
                                             {"--elm", "--obd", "j1850"},
                                             {"--elm", "--obd-car", "maf"},
                                             {"--elm", "--obd", "can", "--obd-car", "diesel"},
                                             {"--elm", "--obd-only"},
                                             {"--dtc", "P4130"},
                                             {"--dtc", "P0130,"},
                                             {"--dtc", "X0130"}}) {
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
