// SPDX-License-Identifier: GPL-3.0-or-later
// The program without a usable sound device: the sound libraries' own complaints stay off the
// terminal unless the user asked for their log.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/temp_dir.h"

namespace drunvale {
namespace {

// Runs the console with the demo for two seconds, OpenAL Soft on ALSA and ALSA's default
// device unusable, and returns what it printed on stderr.
std::string StderrWithoutSound(const std::string& dir, const std::string& userEnv) {
  const std::string command =
      "env -u ALSOFT_LOGLEVEL -u ALSOFT_LOGFILE XDG_CONFIG_HOME=" + dir +
      " ALSOFT_DRIVERS=alsa ALSA_CONFIG_PATH=" + dir + "/asound.conf " + userEnv +
      " timeout -k 20 -s INT 2 " DRUNVALE_BINARY " --console --demo 2>&1 >/dev/null </dev/null";
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "popen failed";
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, n);
  pclose(pipe);
  return text;
}

TEST(NoSoundDevice, OneLineOfItsOwnUnlessTheUserAskedForTheLibrariesLog) {
  testing::TempDir dir;
  testing::WriteWholeFile(dir.path() + "/asound.conf", "pcm.!default { type drunvale_none }\n");
  const std::string notice = "drunvale: no sound device, running without sound\n";

  EXPECT_EQ(StderrWithoutSound(dir.path(), ""), notice);

  const std::string logged = StderrWithoutSound(dir.path(), "ALSOFT_LOGLEVEL=1");
  EXPECT_NE(logged.find("AL lib: (EE)"), std::string::npos) << logged;
  EXPECT_NE(logged.find("ALSA lib"), std::string::npos) << logged;
  EXPECT_NE(logged.find(notice), std::string::npos) << logged;
}

}  // namespace
}  // namespace drunvale
