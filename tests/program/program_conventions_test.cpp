// SPDX-License-Identifier: GPL-3.0-or-later
// The two programs as a shell script or a service manager sees them: answers to --version,
// exit codes, and what a start without a display says.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/exit_codes.h"
#include "program_version.h"

namespace drunvale {
namespace {

struct Outcome {
  int code = -1;
  std::string output;  // standard output and standard error together
};

Outcome RunCommand(const std::string& commandLine) {
  Outcome outcome;
  FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
    outcome.output.append(buffer, n);
  int status = pclose(pipe);
  if (WIFEXITED(status)) outcome.code = WEXITSTATUS(status);
  return outcome;
}

TEST(ProgramConventions, VersionAndUsageErrorsAlikeInBothPrograms) {
  const std::string programs[] = {"'" DRUNVALE_BINARY "'", "'" DRUNVALE_ECUSIM_BINARY "'"};
  const std::string names[] = {"drunvale", "drunvale-ecusim"};
  for (int i = 0; i < 2; ++i) {
    Outcome version = RunCommand(programs[i] + " --version");
    EXPECT_EQ(version.code, kExitOk);
    EXPECT_EQ(version.output, names[i] + " " DRUNVALE_VERSION "\n");

    Outcome help = RunCommand(programs[i] + " --help");
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.output.find("Exit status"), std::string::npos) << help.output;

    EXPECT_EQ(RunCommand(programs[i] + " --no-such-option").code, kExitUsage);
    EXPECT_EQ(RunCommand(programs[i] + " --help=yes").code, kExitUsage);
  }
}

TEST(ProgramConventions, WithoutADisplayOneLinePointsToTheConsole) {
  // Unset, and named but unreachable: both end the same way, before the demo is started.
  const char* displays[] = {"-u DISPLAY", "DISPLAY=:1999"};
  for (const char* display : displays) {
    Outcome outcome = RunCommand(std::string("env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY ") +
                                 display + " '" DRUNVALE_BINARY "' --demo");
    EXPECT_EQ(outcome.code, kExitNoDisplay) << outcome.output;
    EXPECT_NE(outcome.output.find("--console"), std::string::npos) << outcome.output;
    ASSERT_FALSE(outcome.output.empty());
    EXPECT_EQ(outcome.output.find('\n'), outcome.output.size() - 1) << outcome.output;
  }
}

TEST(ProgramConventions, AutostartWritesAndRemovesTheSessionEntryThenEnds) {
  const std::filesystem::path config =
      std::filesystem::temp_directory_path() / ("drunvale-autostart-" + std::to_string(getpid()));
  std::filesystem::remove_all(config);
  const std::string run = "env XDG_CONFIG_HOME='" + config.string() + "' '" DRUNVALE_BINARY "'";
  const std::filesystem::path entry = config / "autostart" / "drunvale.desktop";

  EXPECT_EQ(RunCommand(run + " --autostart on").code, kExitOk);
  std::ifstream file(entry);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("\nExec=" DRUNVALE_BINARY_FILE "\n"), std::string::npos) << text.str();
  EXPECT_EQ(RunCommand(run + " --autostart=off").code, kExitOk);
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(RunCommand(run + " --autostart maybe").code, kExitUsage);
  EXPECT_EQ(RunCommand(run + " --adapter usb").code, kExitUsage);

  // A file where the folder should be: said, with its own exit code.
  std::filesystem::remove_all(config / "autostart");
  std::ofstream(config / "autostart").put('x');
  const Outcome blocked = RunCommand(run + " --autostart on");
  EXPECT_EQ(blocked.code, kExitCannotWrite);
  EXPECT_NE(blocked.output.find("drunvale.desktop"), std::string::npos) << blocked.output;
  std::filesystem::remove_all(config);
}

}  // namespace
}  // namespace drunvale
