// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/linux/xdg_autostart.h"
#include "platform/sleep_clock.h"
#include "platform/temp_dir.h"

namespace drunvale {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;

TEST(XdgAutostart, TheEntryIsWrittenWhereSessionsLookAndRemovedAgain) {
  TempDir home;
  const std::string folder = home.path() + "/config/autostart";  // not there yet
  XdgAutostart autostart(folder, "/opt/My Tools/drunvale");
  EXPECT_EQ(autostart.Where(), folder + "/drunvale.desktop");
  EXPECT_FALSE(autostart.IsOn());
  EXPECT_TRUE(autostart.Set(false));  // nothing to remove is no failure

  ASSERT_TRUE(autostart.Set(true));
  EXPECT_TRUE(autostart.IsOn());
  const std::string entry = ReadWholeFile(autostart.Where());
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\nName=Drunvale\n"));
  EXPECT_NE(entry.find("\nExec=\"/opt/My Tools/drunvale\"\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(autostart.Where() + ".tmp"));

  // Switched off by the desktop's own startup settings.
  WriteWholeFile(autostart.Where(), entry + "Hidden=true\n");
  EXPECT_FALSE(autostart.IsOn());
  ASSERT_TRUE(autostart.Set(true));
  EXPECT_TRUE(autostart.IsOn());

  ASSERT_TRUE(autostart.Set(false));
  EXPECT_FALSE(autostart.IsOn());
  EXPECT_FALSE(std::filesystem::exists(autostart.Where()));

  // A file where the folder should be: the system's reason comes back.
  WriteWholeFile(home.path() + "/blocked", "");
  const AutostartResult blocked = XdgAutostart(home.path() + "/blocked/autostart", "/x").Set(true);
  EXPECT_FALSE(blocked);
  EXPECT_EQ(blocked.systemError, ENOTDIR);
}

TEST(XdgAutostart, ExecQuotesWhatTheDesktopEntryRulesReserve) {
  auto exec = [](const std::string& program) {
    const std::string entry = AutostartEntryText(program);
    const size_t at = entry.find("Exec=") + 5;
    return entry.substr(at, entry.find('\n', at) - at);
  };
  EXPECT_EQ(exec("/usr/bin/drunvale"), "/usr/bin/drunvale");
  EXPECT_EQ(exec("/home/me/100%/drunvale"), "/home/me/100%%/drunvale");
  // In quotes a backslash, dollar, backquote or double quote is escaped, and the backslashes
  // are doubled once more for the string value itself.
  EXPECT_EQ(exec("/a b/$x\"y\\z"), R"("/a b/\\$x\\"y\\\\z")");
  EXPECT_EQ(AutostartEntryText("/bin/new\nline"), "");
}

TEST(SleepClock, AnAwakeComputerShowsNoJumpBetweenTwoLooks) {
  SleepClock& clock = SystemSleepClock();
  const int64_t first = clock.AsleepMs();
  const int64_t second = clock.AsleepMs();
  EXPECT_GE(first, 0);
  EXPECT_GE(second - first, -1);  // the two clocks are read one after the other
  EXPECT_LT(second - first, 2000);
}

}  // namespace
}  // namespace drunvale
