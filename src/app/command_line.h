#pragma once

#include <optional>
#include <string>

namespace drunvale {

struct CommandLine {
  bool console = false;
  bool demo = false;
  bool beep = false;
  bool help = false;
  bool version = false;
  bool journal = false;  // print the trip journal and end
  bool dash = false;     // open the full-screen dash with the window
  // A port for this run only; the stored settings keep theirs.
  std::optional<std::string> port;
  std::string error;
};

CommandLine ParseCommandLine(int argc, char** argv);
extern const char* const kUsage;
extern const char* const kVersionText;

}  // namespace drunvale
