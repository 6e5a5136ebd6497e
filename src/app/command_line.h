// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace drunvale {

struct CommandLine {
  bool console = false;
  bool demo = false;
  bool beep = false;
  bool help = false;
  bool version = false;
  bool journal = false;  // print the trip journal and end
  bool dash = false;     // open the full-screen dash with the window
  // The window presses "Старт" when it opens, for this run (the console always does).
  bool connect = false;
  // --autostart on|off: start with the user's session or not, then end.
  std::optional<bool> autostart;
  // --codes: read the engine's trouble codes and end; --clear-codes: clear them, after a
  // question on the terminal unless --yes.
  bool codes = false;
  bool clearCodes = false;
  bool yes = false;
  // A port for this run only; the stored settings keep theirs.
  std::optional<std::string> port;
  // --adapter auto|kline|elm: the adapter kind for this run only.
  std::optional<AdapterKind> adapter;
  std::string error;
};

// arguments: the program's name first, then its arguments, in UTF-8.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
std::string UsageText();
extern const char* const kVersionText;

}  // namespace drunvale
