#include <cstdio>

#include "app/command_line.h"
#include "app/console_app.h"
#include "app/window_entry.h"
#include "sound/library_noise.h"
#include "sound/mixing_periods.h"

int main(int argc, char** argv) {
  using namespace drunvale;
  CommandLine options = ParseCommandLine(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "drunvale: %s\n%s", options.error.c_str(), kUsage);
    return 64;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  RequestShortMixingPeriods();
  QuietSoundLibraries();
  if (options.console) return RunConsole(options);
  return RunMainWindow(argc, argv, options);
}
