// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecusim_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace drunvale::sim {
namespace {

bool ParseNumber(const std::string& text, double min, double max, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v) || v < min || v > max) return false;
  *value = v;
  return true;
}

bool ParseCount(const std::string& text, double min, double max, int* value) {
  double number = 0;
  if (!ParseNumber(text, min, max, &number) || number != std::floor(number)) return false;
  *value = static_cast<int>(number);
  return true;
}

}  // namespace

bool ParseCloneList(const std::string& list, ElmSimConfig* config, std::string* error) {
  ElmQuirks& q = config->quirks;
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = std::min(list.find(',', begin), list.size());
    std::string item = list.substr(begin, end - begin);
    begin = end + 1;
    std::string name = item, value;
    const size_t eq = item.find('=');
    if (eq != std::string::npos) {
      name = item.substr(0, eq);
      value = item.substr(eq + 1);
    }
    auto bad = [&] {
      if (error) *error = "bad clone switch: " + item;
      return false;
    };
    // A switch without a value must not get one, a count may take one.
    auto flag = [&](bool& target) {
      target = true;
      return eq == std::string::npos;
    };
    auto count = [&](int& target, int fallback) {
      if (eq == std::string::npos) {
        target = fallback;
        return true;
      }
      return ParseCount(value, 1, 1e6, &target);
    };
    int rate = 0;
    bool ok = true;
    if (name == "no-fi")
      ok = flag(q.noFi);
    else if (name == "no-kw")
      ok = flag(q.noKw);
    else if (name == "no-al")
      ok = flag(q.noAl);
    else if (name == "no-sw")
      ok = flag(q.noSw);
    else if (name == "no-wm")
      ok = flag(q.noWm);
    else if (name == "no-st")
      ok = flag(q.noSt);
    else if (name == "no-at")
      ok = flag(q.noAt);
    else if (name == "two-letter")
      ok = flag(q.twoLetterCommands);
    else if (name == "nul-reset")
      ok = flag(q.garbageBeforeBanner);
    else if (name == "split-prompt")
      ok = flag(q.splitPrompt);
    else if (name == "no-stop")
      ok = flag(q.ignoresEarlyBytes);
    else if (name == "bus-init-line")
      ok = flag(q.busInitLine);
    else if (name == "freeze-long")
      ok = flag(q.freezeOnLongAnswer);
    else if (name == "data-error")
      ok = count(q.dataErrorEvery, 10);
    else if (name == "drop")
      ok = count(q.dropAfterRequests, 10);
    else if (name == "baud" && ParseCount(value, 300, 4e6, &rate))
      config->serialRate = rate;
    else if (name == "slow" && ParseCount(value, 300, 4e6, &rate))
      config->throughputRate = rate;
    else if (name == "version" && !value.empty())
      config->version = value;
    else
      return bad();
    if (!ok) return bad();
  }
  return true;
}

std::string EcuSimUsage() {
  return "Usage: drunvale-ecusim [options]\n"
         "Simulates a K-line adapter with a petrol engine's control unit on a pseudo-terminal,\n"
         "for demos and tests without a car. The first line on standard output is the device\n"
         "path (with --tcp its socket:// address) to give to drunvale --port; SIGINT (Ctrl+C)\n"
         "or SIGTERM ends it. It keeps no settings and writes no files.\n"
         "\n"
         "  --elm                    an ELM327 in front of the control unit instead of the\n"
         "                           K-line adapter; it listens at 38400 bit/s\n"
         "  --tcp PORT               with --elm: serve TCP on PORT, as Wi-Fi adapters do\n"
         "  --obd BUS                with --elm: a standard OBD-II car behind the chip too,\n"
         "                           on can (ISO 15765-4 11/500, AT SP 6), kline (ISO 14230-4\n"
         "                           fast init, AT SP 5) or kline9141 (ISO 9141-2, AT SP 3)\n"
         "  --obd-car KIND           with --obd: fuel-rate (engine fuel rate and air flow,\n"
         "                           the default), maf (air flow only) or speed-density\n"
         "                           (manifold pressure, intake temperature and engine speed\n"
         "                           of a 1.6 l engine)\n"
         "  --obd-only               with --obd: no manufacturer's control unit on the\n"
         "                           K-line, as on any other car\n"
         "  --dtc LIST               trouble codes the units hold until cleared,\n"
         "                           comma-separated: P0130,P0301,P0171:pending (pending\n"
         "                           ones: OBD-II mode 07, and so marked by the\n"
         "                           manufacturer's unit)\n"
         "  --clone LIST             with --elm: a clone's ways, comma-separated:\n"
         "                           no-fi, no-kw, no-al, no-sw, no-wm, no-st, no-at (each\n"
         "                           answers ?), two-letter (DPN read as DP), nul-reset\n"
         "                           (garbage before the banner), split-prompt (the prompt in a\n"
         "                           later write), no-stop (no STOPPED on an early byte),\n"
         "                           bus-init-line (BUS INIT: ...OK before the first answer),\n"
         "                           data-error[=N] (every N-th answer with a bad checksum,\n"
         "                           default 10), freeze-long (hangs on a long answer without\n"
         "                           AT AL), drop[=N] (TCP: drops the connection every N\n"
         "                           requests, default 10), baud=N (listens at N bit/s),\n"
         "                           slow=N (its bytes at N bit/s), version=TEXT (AT I)\n"
         "\n"
         "  --speedup N              run the drive N times faster (default 1); with 10 and a\n"
         "                           one-minute jam rule, a jam shows within about two minutes\n"
         "  --profile-start S        start the drive S seconds into its cycle\n"
         "  --unknown-key            answer StartCommunication with key bytes EF 8F\n"
         "  --ignition-off-after S   switch the ignition off S seconds after the start\n"
         "  --ignition-off-for S     keep it off for S seconds (default: until the end)\n"
         "  --busy N                 answer every N-th request busy (7F sid 21)\n"
         "  --response-delay MS      delay before each answer (default 25)\n"
         "  --no-pacing              send each answer in one piece instead of at the line rate\n"
         "                           (with --elm: the serial side too)\n"
         "  --any-rate               answer whatever rate the tester's line is set to\n"
         "  --link PATH              keep a symbolic link PATH to the terminal, as\n"
         "                           /dev/serial/by-id keeps one to a USB adapter\n"
         "  --unplug-after S         pull the adapter out S seconds after the start\n"
         "  --unplugged-for S        plug a new one in S seconds later (default: never); with\n"
         "                           --link it comes back under the same name\n"
         "  --version                print the name and version, then end\n"
         "  -h, --help               show this text, then end\n"
         "Options that take a value also accept --option=value.\n"
         "\n"
         "Exit status:\n"
         "  0   ended by SIGINT or SIGTERM\n"
         "  1   the pseudo-terminal could not be opened, or the line failed\n"
         "  64  unknown option or unusable value\n";
}

// "P0130,P0171:pending": a letter, four hex digits, and whether it is pending.
bool ParseTroubleCodes(const std::string& list, std::vector<SimTroubleCode>* codes) {
  codes->clear();
  size_t at = 0;
  while (at <= list.size()) {
    const size_t end = std::min(list.find(',', at), list.size());
    std::string item = list.substr(at, end - at);
    SimTroubleCode code;
    constexpr std::string_view kPending = ":pending";
    if (item.size() > kPending.size() && item.ends_with(kPending)) {
      code.pending = true;
      item.resize(item.size() - kPending.size());
    }
    const size_t letter = std::string_view("PCBU").find(
        static_cast<char>(std::toupper(static_cast<unsigned char>(item.empty() ? ' ' : item[0]))));
    if (item.size() != 5 || letter == std::string_view::npos) return false;
    unsigned digits = 0;
    for (size_t i = 1; i < 5; ++i) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(item[i])));
      const size_t digit = std::string_view("0123456789ABCDEF").find(c);
      if (digit == std::string_view::npos || (i == 1 && digit > 3)) return false;
      digits = digits << 4 | static_cast<unsigned>(digit);
    }
    code.code = static_cast<uint16_t>(letter << 14 | digits);
    codes->push_back(code);
    at = end + 1;
  }
  return true;
}

bool ParseEcuSimOptions(int argc, const char* const* argv, EcuSimOptions* options,
                        std::string* error) {
  auto bad = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  bool cloned = false;
  std::optional<ObdCarKind> obdKind;
  bool obdOnly = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasValue = false;
    if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasValue = true;
    }
    auto text = [&]() {
      if (!hasValue) {
        if (i + 1 >= argc) return bad(arg + " needs a value");
        value = argv[++i];
      }
      return true;
    };
    auto next = [&](double min, double max, double* out) {
      if (!text()) return false;
      if (!ParseNumber(value, min, max, out)) return bad("bad value for " + arg + ": " + value);
      return true;
    };
    auto flag = [&]() { return hasValue ? bad(arg + " takes no value") : true; };

    double number = 0;
    EcuSimConfig& config = options->config;
    if (arg == "--help" || arg == "-h") {
      if (!flag()) return false;
      options->help = true;
    } else if (arg == "--version") {
      if (!flag()) return false;
      options->version = true;
    } else if (arg == "--speedup") {
      if (!next(0.001, 1e6, &number)) return false;
      config.profileSpeedup = number;
    } else if (arg == "--profile-start") {
      if (!next(0, 1e9, &number)) return false;
      config.profileStartSeconds = number;
    } else if (arg == "--unknown-key") {
      if (!flag()) return false;
      config.keyBytes = kUnknownKeyBytes;
    } else if (arg == "--ignition-off-after") {
      if (!next(0, 1e7, &number)) return false;
      options->ignitionOffAfterS = number;
    } else if (arg == "--ignition-off-for") {
      if (!next(0.001, 1e7, &number)) return false;
      options->ignitionOffForS = number;
    } else if (arg == "--busy") {
      if (!next(1, 1e6, &number)) return false;
      if (number != std::floor(number)) return bad("bad value for --busy: " + value);
      config.busyEvery = static_cast<int>(number);
    } else if (arg == "--response-delay") {
      if (!next(0, 10'000, &number)) return false;
      config.responseDelay = std::chrono::microseconds(std::llround(number * 1000));
    } else if (arg == "--no-pacing") {
      if (!flag()) return false;
      config.pacing = false;
      options->elmConfig.serialPacing = false;
    } else if (arg == "--any-rate") {
      if (!flag()) return false;
      config.enforceLineRate = false;
    } else if (arg == "--link") {
      if (!text()) return false;
      if (value.empty()) return bad("--link needs a path");
      options->link = value;
    } else if (arg == "--unplug-after") {
      if (!next(0, 1e7, &number)) return false;
      options->unplugAfterS = number;
    } else if (arg == "--unplugged-for") {
      if (!next(0.001, 1e7, &number)) return false;
      options->unpluggedForS = number;
    } else if (arg == "--elm") {
      if (!flag()) return false;
      options->elm = true;
    } else if (arg == "--tcp") {
      if (!next(1, 65535, &number) || number != std::floor(number)) {
        return bad("bad value for --tcp: " + value);
      }
      options->tcpPort = static_cast<uint16_t>(number);
    } else if (arg == "--obd") {
      if (!text()) return false;
      ObdCarConfig car = options->elmConfig.obdCar.value_or(ObdCarConfig{});
      if (value == "can") {
        car.bus = ObdBus::Can11At500;
      } else if (value == "kline") {
        car.bus = ObdBus::Kwp14230;
      } else if (value == "kline9141") {
        car.bus = ObdBus::Iso9141;
      } else {
        return bad("bad value for --obd: " + value);
      }
      options->elmConfig.obdCar = car;
    } else if (arg == "--obd-only") {
      if (!flag()) return false;
      obdOnly = true;
    } else if (arg == "--dtc") {
      if (!text()) return false;
      if (!ParseTroubleCodes(value, &config.troubleCodes)) {
        return bad("bad value for --dtc: " + value);
      }
    } else if (arg == "--obd-car") {
      if (!text()) return false;
      if (value == "fuel-rate") {
        obdKind = ObdCarKind::FuelRate;
      } else if (value == "maf") {
        obdKind = ObdCarKind::Maf;
      } else if (value == "speed-density") {
        obdKind = ObdCarKind::SpeedDensity;
      } else {
        return bad("bad value for --obd-car: " + value);
      }
    } else if (arg == "--clone") {
      if (!text() || !ParseCloneList(value, &options->elmConfig, error)) return false;
      cloned = true;
    } else {
      return bad("unknown option: " + arg);
    }
  }
  std::optional<ObdCarConfig>& car = options->elmConfig.obdCar;
  if (!options->elm && (options->tcpPort || cloned || car)) {
    return bad("--tcp, --clone and --obd need --elm");
  }
  if (obdKind && !car) return bad("--obd-car needs --obd");
  if (obdKind) car->kind = *obdKind;
  if (obdOnly && !car) return bad("--obd-only needs --obd");
  if (obdOnly) car->manufacturerUnit = false;
  if (options->tcpPort && !options->link.empty()) return bad("--link is for a terminal, not --tcp");
  return true;
}

}  // namespace drunvale::sim
