#include <cstdio>

#include "app/autostart_switch.h"
#include "app/command_line.h"
#include "console/console_app.h"
#include "platform/exit_codes.h"
#include "platform/session_autostart.h"
#include "program/window_entry.h"
#include "sound/library_noise.h"

int main(int argc, char** argv) {
  using namespace drunvale;
  CommandLine options = ParseCommandLine(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "drunvale: %s\nTry drunvale --help for the options.\n",
                 options.error.c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (options.version) {
    std::fputs(kVersionText, stdout);
    return kExitOk;
  }
  if (options.autostart) {
    const AutostartOutcome outcome = SwitchAutostart(SystemSessionAutostart(), *options.autostart);
    std::fputs(outcome.text.c_str(), outcome.exitCode == kExitOk ? stdout : stderr);
    return outcome.exitCode;
  }
  QuietSoundLibraries();
  if (options.console) return RunConsole(options);
  return RunMainWindow(argc, argv, options);
}
