// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "program_version.h"

#include <string_view>

#include "platform/data_folder.h"
#include "platform/serial_port.h"
#include "platform/user_store.h"
#include "settings/settings.h"

namespace drunvale {

namespace {

// The help text around the two lines each platform words its own way.
constexpr const char* kUsageHead =
    "Usage: drunvale [--console] [--demo | --port PATH] [--adapter KIND] [--beep] [--connect]\n"
    "                [--dash]\n"
    "       drunvale --autostart on|off\n"
    "       drunvale --journal\n"
    "       drunvale --codes | --clear-codes [--yes] [--port PATH] [--adapter KIND]\n"
    "An in-car fuel-consumption meter: reads the engine control unit through a K-line adapter\n"
    "on a serial port and shows the trip's fuel, distance and cost, with beeps that follow the\n"
    "consumption. Every trip is kept in a journal, and fill-ups correct the fuel figures.\n"
    "\n"
    "Modes:\n"
    "  (no option)      open the window; the port and the other settings are chosen there\n"
    "                   under \"Настройка\"; a right click on the window opens a menu: the trip\n"
    "                   journal (\"Журнал поездок…\"), the fill-up dialog (\"Заправка…\") and the\n"
    "                   options \"Соединяться при запуске\" and \"Запускать при входе в систему\"\n"
    "  --console        run the meter in this terminal instead, started at once\n"
    "  --demo           connect to a simulated engine control unit started inside the program\n"
    "  --journal        print the trip journal with the totals for today, this tank and all,\n"
    "                   then end\n"
    "  --codes          print the engine's trouble codes (on OBD-II cars also the pending ones\n"
    "                   and the lamp), one a line with its system, then end\n"
    "  --clear-codes    clear them, after a question (--yes: without), then end\n"
    "\n"
    "Options:\n"
    "  --port PATH      use this serial port for this run; the stored setting is kept\n";
constexpr const char* kUsageOptions =
    "  --adapter auto|kline|elm\n"
    "                   the adapter on the port for this run: found out by itself (auto), an\n"
    "                   echoing K-line adapter, or an ELM327-compatible one (USB, Bluetooth,\n"
    "                   or Wi-Fi as --port socket://192.168.0.10:35000)\n"
    "  --beep           start with the beeps on\n"
    "  --dash           open the full-screen dash at once (F11 or the context menu's\n"
    "                   \"Приборная панель\" open and close it; in it N switches night on and\n"
    "                   off, + and - set the night's brightness, T shows 10 or 30 minutes)\n"
    "  --connect        the window connects as soon as it opens, as if \"Старт\" was pressed\n"
    "                   (for this run; the window's menu keeps it for every run)\n"
    "  --autostart on|off\n"
    "                   open the window by itself whenever you log in, or no longer; then\n"
    "                   end (also in the window's menu, opened with a right click)\n"
    "  --version        print the name and version, then end\n"
    "  -h, --help       show this text, then end\n"
    "\n"
    "Keys in the console: r resets the statistics, u switches between l/h and l/100 km,\n"
    "b switches the beeps on and off, j prints the last trips and today's totals, f records a\n"
    "fill-up (it asks for the litres the pump shows), e prints the engine's trouble codes, E\n"
    "clears them (after y), Ctrl+C stops and prints the final figures.\n"
    "Under its tables the console draws the last five minutes of consumption as one line.\n"
    "\n";
constexpr const char* kUsageExitStatus =
    "Exit status:\n"
    "  0   normal end: the window was closed, or the console was stopped\n"
    "  64  unknown option or unusable value\n"
    "  69  no display found (or a build without windows): --console runs it in a terminal\n"
    "  73  --autostart could not write or remove the entry\n"
    "  74  --journal could not read the journal\n"
    "  75  --codes, --clear-codes: no answer from the adapter or the car within a minute\n"
    "  76  --codes, --clear-codes: the unit does not offer them, or did not confirm the clear\n";

}  // namespace

std::string UsageText() {
  const std::string hint = StablePortNamesHint();
  return std::string(kUsageHead) + "                   (also --port=PATH" +
         (hint.empty() ? "" : "; " + hint) + ")\n" + kUsageOptions + "Settings are kept in " +
         SystemUserStorePlace(kSettingsKeyPath) +
         ";\nthe fuel factor and the tank counter are kept there too. Each trip ended by "
         "\"Обнулить\",\nby closing, or by a power cut (found at the next start) is a row of "
         "trips.csv in\n" +
         UserDataFolderPlace() + ", each fill-up a row of fills.csv beside it.\n\n" +
         kUsageExitStatus;
}

const char* const kVersionText = "drunvale " DRUNVALE_VERSION "\n";

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  const size_t count = arguments.size();
  for (size_t i = 1; i < count; ++i) {
    std::string_view arg = arguments[i];
    if (arg == "--console") {
      result.console = true;
    } else if (arg == "--demo") {
      result.demo = true;
    } else if (arg == "--beep") {
      result.beep = true;
    } else if (arg == "--help" || arg == "-h") {
      result.help = true;
    } else if (arg == "--version") {
      result.version = true;
    } else if (arg == "--dash") {
      result.dash = true;
    } else if (arg == "--journal") {
      result.journal = true;
    } else if (arg == "--codes") {
      result.codes = true;
    } else if (arg == "--clear-codes") {
      result.clearCodes = true;
    } else if (arg == "--yes") {
      result.yes = true;
    } else if (arg == "--connect") {
      result.connect = true;
    } else if (arg == "--autostart" || arg.starts_with("--autostart=")) {
      std::string_view value;
      if (arg != "--autostart") {
        value = arg.substr(12);
      } else if (i + 1 < count) {
        value = arguments[++i];
      }
      if (value != "on" && value != "off") {
        result.error = "--autostart needs on or off, for example --autostart on";
        return result;
      }
      result.autostart = value == "on";
    } else if (arg == "--adapter" || arg.starts_with("--adapter=")) {
      std::string_view value;
      if (arg != "--adapter") {
        value = arg.substr(10);
      } else if (i + 1 < count) {
        value = arguments[++i];
      }
      if (value == "auto") {
        result.adapter = AdapterKind::Automatic;
      } else if (value == "kline") {
        result.adapter = AdapterKind::KLine;
      } else if (value == "elm") {
        result.adapter = AdapterKind::Elm;
      } else {
        result.error = "--adapter needs auto, kline or elm, for example --adapter elm";
        return result;
      }
    } else if (arg == "--port") {
      if (i + 1 >= count || arguments[i + 1].empty()) {
        result.error = "--port needs a device path, for example --port " + DefaultSerialPort();
        return result;
      }
      result.port = arguments[++i];
    } else if (arg.starts_with("--port=")) {
      result.port = std::string(arg.substr(7));
      if (result.port->empty()) {
        result.error = "--port needs a device path, for example --port=" + DefaultSerialPort();
        return result;
      }
    } else {
      result.error = "unknown option: " + std::string(arg);
      return result;
    }
  }
  if (result.demo && result.port) result.error = "--demo and --port cannot be used together";
  if (result.codes && result.clearCodes) {
    result.error = "--codes and --clear-codes cannot be used together";
  }
  if (result.yes && !result.clearCodes) result.error = "--yes goes with --clear-codes";
  return result;
}

}  // namespace drunvale
