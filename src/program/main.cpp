#include <cstdio>

#include "app/command_line.h"
#include "console/console_app.h"
#include "console/journal_text.h"
#include "platform/exit_codes.h"
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
  if (options.journal) return PrintJournal(stdout, stderr);
  QuietSoundLibraries();
  if (options.console) return RunConsole(options);
  return RunMainWindow(argc, argv, options);
}
