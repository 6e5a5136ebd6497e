// SPDX-License-Identifier: GPL-3.0-or-later
// The AT commands the simulated ELM327 knows: those a K-line program uses, and the ones around
// them that a program might send while it finds out what adapter it has.
#include <algorithm>
#include <array>

#include "sim/elm_chip.h"

namespace drunvale::sim {
namespace {

// Names a two-letter clone still knows when more follows them.
constexpr std::array<std::string_view, 9> kBareNames{"DP", "KW", "AL", "FI", "PC",
                                                     "RV", "WS", "NL", "@1"};

std::optional<int> Digit(char c, int max) {
  int value = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  if (value < 0 || value > max) return std::nullopt;
  return value;
}

}  // namespace

void ElmChip::RunAt(std::string_view command, SimTime at) {
  const ElmQuirks& quirks = config_.quirks;
  auto answer = [&](std::string_view text) {
    EmitLine(text, at);
    EmitPrompt(at);
  };
  auto ok = [&] { answer("OK"); };
  auto unknown = [&] { answer("?"); };

  std::string_view c = command;
  if (quirks.twoLetterCommands && c.size() > 2 &&
      std::find(kBareNames.begin(), kBareNames.end(), c.substr(0, 2)) != kBareNames.end()) {
    c = c.substr(0, 2);
  }
  // Switches: a letter and 0 or 1.
  if (c.size() == 2 && (c[1] == '0' || c[1] == '1')) {
    const bool on = c[1] == '1';
    switch (c[0]) {
      case 'E':
        settings_.echo = on;
        return ok();
      case 'L':
        settings_.linefeeds = on;
        return ok();
      case 'S':
        settings_.spaces = on;
        return ok();
      case 'H':
        settings_.headers = on;
        return ok();
      default:
        break;
    }
  }
  const std::string_view name = c.substr(0, 2);
  const std::string_view rest = c.size() > 2 ? c.substr(2) : std::string_view();

  if (c == "Z" || c == "WS") return Reset(at, c == "Z");
  if (c == "I") return answer(config_.version);
  if (c == "@1") return answer("OBDII to RS232 Interpreter");
  if (c == "RV") return answer(config_.voltage);
  if (c == "D") {
    Defaults();
    return ok();
  }
  if (c == "AL" || c == "NL") {
    if (quirks.noAl) return unknown();
    settings_.allowLong = c == "AL";
    return ok();
  }
  if (name == "AT" && rest.size() == 1) {
    std::optional<int> mode = Digit(rest[0], 2);
    if (quirks.noAt || !mode) return unknown();
    settings_.adaptive = *mode;
    measuredDelay_.reset();
    return ok();
  }
  if (c == "DP") {
    if (protocol_ == 0) return answer(found_ != 0 ? "AUTO, " + ProtocolName(found_) : "AUTO");
    return answer((protocolAuto_ ? "AUTO, " : "") + ProtocolName(Protocol()));
  }
  if (c == "DPN") {
    static constexpr char kDigits[] = "0123456789ABC";
    if (protocol_ == 0) return answer(found_ != 0 ? std::string("A") + kDigits[found_] : "0");
    return answer(std::string(protocolAuto_ ? "A" : "") + kDigits[Protocol()]);
  }
  if (c == "PC") {
    busOpen_ = false;
    return ok();
  }
  if (name == "KW" && rest.size() <= 1) {
    if (quirks.noKw) return unknown();
    if (rest.empty()) {
      return answer("1:" + HexText(&keyBytes_[0], 1, false) +
                    " 2:" + HexText(&keyBytes_[1], 1, false));
    }
    if (!Digit(rest[0], 1)) return unknown();
    settings_.keyWordCheck = rest[0] == '1';
    return ok();
  }
  if (c == "FI") {
    if (quirks.noFi || protocol_ != 5) return unknown();
    job_ = Job::FastInit;
    showInit_ = true;
    return StartFastInit(at);
  }
  if (name == "SP") {
    const bool automatic = rest.size() == 2 && rest[0] == 'A';
    std::optional<int> number;
    if (rest.size() == 1) number = Digit(rest[0], 12);
    if (automatic) number = Digit(rest[1], 12);
    if (rest == "00") number = 0;
    if (!number) return unknown();
    protocol_ = *number;
    protocolAuto_ = automatic && *number != 0;
    found_ = 0;
    busOpen_ = false;
    measuredDelay_.reset();
    return ok();
  }
  if (name == "SH") {
    std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(rest);
    if (!bytes || bytes->size() != 3) return unknown();
    std::copy(bytes->begin(), bytes->end(), settings_.header.begin());
    settings_.headerSet = true;
    return ok();
  }
  if (name == "ST" || name == "SW") {
    std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(rest);
    if ((name == "ST" ? quirks.noSt : quirks.noSw) || !bytes || bytes->size() != 1) {
      return unknown();
    }
    if (name == "SW") {
      settings_.wakeInterval = (*bytes)[0];
    } else {
      // ST 00 brings the default back.
      settings_.timer = (*bytes)[0] != 0 ? (*bytes)[0] : ElmSettings{}.timer;
    }
    return ok();
  }
  if (name == "WM") {
    std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(rest);
    if (quirks.noWm || !bytes || bytes->empty() || bytes->size() > 6) return unknown();
    settings_.wakeMessage = *bytes;
    settings_.wakeMessageSet = true;
    return ok();
  }
  unknown();
}

}  // namespace drunvale::sim
