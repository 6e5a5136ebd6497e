#include "app/command_line.h"

#include <string_view>

namespace drunvale {

const char* const kUsage =
    "Usage: drunvale [--console] [--port PATH] [--beep] [--demo]\n"
    "  (no option)   open the window\n"
    "  --console     run the meter in this terminal: r resets, u switches l/h and l/100 km,\n"
    "                b switches the beeps, Ctrl+C stops\n"
    "  --port PATH   use this serial port for this run (the stored setting is kept)\n"
    "  --beep        start with the beeps on\n"
    "  --demo        connect to a simulated engine control unit started inside the program\n";

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine result;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--console") {
      result.console = true;
    } else if (arg == "--demo") {
      result.demo = true;
    } else if (arg == "--beep") {
      result.beep = true;
    } else if (arg == "--help" || arg == "-h") {
      result.help = true;
    } else if (arg == "--port") {
      if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
        result.error = "--port needs a device path, for example --port /dev/ttyUSB0";
        return result;
      }
      result.port = argv[++i];
    } else if (arg.starts_with("--port=")) {
      result.port = std::string(arg.substr(7));
      if (result.port->empty()) {
        result.error = "--port needs a device path, for example --port=/dev/ttyUSB0";
        return result;
      }
    } else {
      result.error = "unknown option: " + std::string(arg);
      return result;
    }
  }
  if (result.demo && result.port) result.error = "--demo and --port cannot be used together";
  return result;
}

}  // namespace drunvale
