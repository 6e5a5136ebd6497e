// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <string_view>

#include "app/autostart_switch.h"
#include "app/codes_command.h"
#include "app/command_line.h"
#include "console/console_app.h"
#include "console/journal_text.h"
#include "platform/console_text.h"
#include "platform/exit_codes.h"
#include "platform/program_arguments.h"
#include "platform/session_autostart.h"
#include "program/window_entry.h"
#include "sound/library_noise.h"

int main(int argc, char** argv) {
  using namespace drunvale;
  const Utf8Console console;
  CommandLine options = ParseCommandLine(ProgramArguments(argc, argv));
  if (!options.error.empty()) {
    WriteText(stderr, "drunvale: " + options.error + "\nTry drunvale --help for the options.\n");
    return kExitUsage;
  }
  if (options.help) {
    WriteText(stdout, UsageText());
    return kExitOk;
  }
  if (options.version) {
    WriteText(stdout, kVersionText);
    return kExitOk;
  }
  if (options.autostart) {
    const AutostartOutcome outcome = SwitchAutostart(SystemSessionAutostart(), *options.autostart);
    WriteText(outcome.exitCode == kExitOk ? stdout : stderr, outcome.text);
    // Given together, both are done: the switch first, then the journal.
    if (outcome.exitCode != kExitOk || !options.journal) return outcome.exitCode;
  }
  if (options.journal) return PrintJournal(stdout, stderr);
  if (options.codes || options.clearCodes) {
    const CodesOutcome outcome = RunCodesCommand(options, [] {
      WriteText(stdout, ClearCodesQuestion());
      std::fflush(stdout);
      char answer[16] = {};
      if (!std::fgets(answer, sizeof answer, stdin)) return false;
      // y, yes or the Russian д, да.
      return answer[0] == 'y' || answer[0] == 'Y' || std::string_view(answer).starts_with("д") ||
             std::string_view(answer).starts_with("Д");
    });
    WriteText(outcome.exitCode == kExitOk ? stdout : stderr, outcome.text);
    return outcome.exitCode;
  }
  QuietSoundLibraries();
  if (options.console) return RunConsole(options);
  return RunMainWindow(argc, argv, options);
}
