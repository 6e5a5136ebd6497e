// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_run.h"

namespace drunvale {
namespace {

AppPlatform PlatformOf(const RunPort& port, DataFolder* dataFolder, bool demo) {
  AppPlatform platform;
  platform.opener = port.opener;
  platform.dataFolder = dataFolder;
  platform.keepsRecords = !demo;
  return platform;
}

}  // namespace

ProgramRun::ProgramRun(const CommandLine& options)
    : port_(PortForThisRun(options)),
      store_(MakeSystemUserStore()),
      dataFolder_(OpenUserDataFolder()),
      app_(PlatformOf(port_, dataFolder_.get(), options.demo)),
      start_{port_.name, options.beep, options.demo || options.connect, options.dash,
             options.adapter} {
  // The built-in control unit sits behind the adapter --demo was given, a K-line one unless
  // --adapter elm: nothing to find out.
  if (options.demo && !start_.adapter) start_.adapter = AdapterKind::KLine;
}

}  // namespace drunvale
