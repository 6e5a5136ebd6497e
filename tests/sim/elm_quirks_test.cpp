// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sim/elm_config.h"
#include "sim/elm_host.h"
#include "sim/elm_pipe.h"

namespace drunvale::sim {
namespace {

using testing::ElmHost;
using testing::ElmReply;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// How the last command's reply is read.
enum class Reading {
  ToPrompt,
  FirstBurst,   // up to the first gap of 5 ms
  Interrupted,  // a byte goes right after the command, before the chip is done
};

// One clone switch: the same script run on a genuine chip and on the clone, and what tells the
// two replies to the last command apart.
struct QuirkCase {
  const char* name;
  std::function<void(ElmSimConfig&)> set;
  std::vector<std::string> script;
  std::string last;
  std::function<void(const ElmReply& genuine, const ElmReply& clone)> check;
  Reading reading = Reading::ToPrompt;
  uint32_t hostRate = 38400;
};

const std::vector<std::string> kOpenBus{"ATSP5", "ATSH8110F1", "ATFI"};

void Answers(const ElmReply& genuine, const ElmReply& clone, const std::string& genuineText,
             const std::string& cloneText) {
  EXPECT_EQ(genuine.text, genuineText);
  EXPECT_EQ(clone.text, cloneText);
}

auto Unknown(const std::string& genuineText) {
  return [genuineText](const ElmReply& genuine, const ElmReply& clone) {
    Answers(genuine, clone, genuineText, "?\r\r>");
  };
}

std::vector<QuirkCase> Cases() {
  return {
      {"no FI",
       [](ElmSimConfig& c) { c.quirks.noFi = true; },
       {"ATSP5", "ATSH8110F1"},
       "ATFI",
       Unknown("BUS INIT: OK\r\r>")},
      {"no KW", [](ElmSimConfig& c) { c.quirks.noKw = true; }, kOpenBus, "ATKW",
       Unknown("1:6B 2:8F\r\r>")},
      {"no AL", [](ElmSimConfig& c) { c.quirks.noAl = true; }, {}, "ATAL", Unknown("OK\r\r>")},
      {"no SW", [](ElmSimConfig& c) { c.quirks.noSw = true; }, {}, "ATSW00", Unknown("OK\r\r>")},
      {"no WM",
       [](ElmSimConfig& c) { c.quirks.noWm = true; },
       {},
       "ATWM8110F13E",
       Unknown("OK\r\r>")},
      {"no ST", [](ElmSimConfig& c) { c.quirks.noSt = true; }, {}, "ATST19", Unknown("OK\r\r>")},
      {"no AT", [](ElmSimConfig& c) { c.quirks.noAt = true; }, {}, "ATAT2", Unknown("OK\r\r>")},
      {"two-letter commands",
       [](ElmSimConfig& c) { c.quirks.twoLetterCommands = true; },
       {"ATSP5"},
       "ATDPN",
       [](const ElmReply& genuine, const ElmReply& clone) {
         Answers(genuine, clone, "5\r\r>", "ISO 14230-4 (KWP FAST)\r\r>");
       }},
      {"garbage before the banner",
       [](ElmSimConfig& c) { c.quirks.garbageBeforeBanner = true; },
       {},
       "ATZ",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_EQ(genuine.text, "\r\rELM327 v1.5\r\r>");
         EXPECT_EQ(clone.text.front(), '\0');
         EXPECT_TRUE(EndsWith(clone.text, genuine.text));
       }},
      {"split prompt",
       [](ElmSimConfig& c) { c.quirks.splitPrompt = true; },
       {},
       "ATI",
       [](const ElmReply& genuine, const ElmReply& clone) {
         Answers(genuine, clone, "ELM327 v1.5\r\r>", "ELM327 v1.5");
       },
       Reading::FirstBurst},
      {"ignores early bytes", [](ElmSimConfig& c) { c.quirks.ignoresEarlyBytes = true; }, kOpenBus,
       "21011",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_EQ(genuine.text, "STOPPED\r\r>");
         EXPECT_EQ(clone.text.rfind("61 01 ", 0), 0u) << clone.text;
       },
       Reading::Interrupted},
      {"bus init line",
       [](ElmSimConfig& c) { c.quirks.busInitLine = true; },
       {"ATSPA5", "ATSH8110F1", "ATAL"},
       "2101",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_EQ(genuine.text.rfind("61 01 ", 0), 0u) << genuine.text;
         EXPECT_EQ(clone.text, "BUS INIT: ...OK\r" + genuine.text);
       }},
      {"data error",
       [](ElmSimConfig& c) { c.quirks.dataErrorEvery = 1; },
       {"ATSP5", "ATSH8110F1", "ATFI", "ATAL"},
       "2101",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_TRUE(EndsWith(genuine.text, "\r\r>"));
         EXPECT_EQ(clone.text.substr(0, 20), genuine.text.substr(0, 20));
         EXPECT_TRUE(EndsWith(clone.text, " <DATA ERROR\r\r>")) << clone.text;
       }},
      {"freeze on a long answer", [](ElmSimConfig& c) { c.quirks.freezeOnLongAnswer = true; },
       kOpenBus, "2101",
       [](const ElmReply& genuine, const ElmReply& clone) {
         // Without AL a genuine chip keeps to seven data bytes.
         EXPECT_EQ(genuine.text.size(), 7 * 3 - 1 + 3u) << genuine.text;
         EXPECT_EQ(genuine.text.rfind("61 01 ", 0), 0u) << genuine.text;
         EXPECT_EQ(clone.text, "");
       }},
      {"drop after a request",
       [](ElmSimConfig& c) { c.quirks.dropAfterRequests = 1; },
       {"ATSP5", "ATSH8110F1", "21011"},
       "ATI",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_EQ(genuine.text, "ELM327 v1.5\r\r>");
         EXPECT_TRUE(clone.failed);
       }},
      {"serial rate",
       [](ElmSimConfig& c) { c.serialRate = 115200; },
       {},
       "ATI",
       [](const ElmReply& genuine, const ElmReply& clone) {
         // The host runs at the clone's rate: the genuine chip at 38400 is garbage to it.
         EXPECT_FALSE(genuine.Prompted());
         EXPECT_EQ(genuine.text.find("ELM"), std::string::npos);
         EXPECT_EQ(clone.text, "ELM327 v1.5\r\r>");
       },
       Reading::ToPrompt,
       115200},
      {"slow serial side",
       [](ElmSimConfig& c) { c.throughputRate = 9600; },
       {},
       "ATI",
       [](const ElmReply& genuine, const ElmReply& clone) {
         EXPECT_EQ(clone.text, genuine.text);
         // The same characters at a quarter of the pace.
         EXPECT_GE(clone.ms, 3 * genuine.ms);
       }},
      {"version",
       [](ElmSimConfig& c) { c.version = "ELM327 v2.1"; },
       {},
       "ATI",
       [](const ElmReply& genuine, const ElmReply& clone) {
         Answers(genuine, clone, "ELM327 v1.5\r\r>", "ELM327 v2.1\r\r>");
       }},
  };
}

ElmReply RunScript(const QuirkCase& c, bool clone) {
  ElmSimConfig config;
  if (clone) c.set(config);
  ManualTickClock clock;
  ElmPipe pipe(config, {}, clock);
  ElmHost host(pipe, clock, c.hostRate);
  host.Command("ATE0");
  for (const std::string& line : c.script)
    host.Command(line);
  switch (c.reading) {
    case Reading::ToPrompt:
      return host.Command(c.last);
    case Reading::FirstBurst:
      host.Write(c.last + "\r");
      return host.ReadBurst(5);
    case Reading::Interrupted:
      host.Write(c.last + "\rX");
      return host.ReadToPrompt();
  }
  return {};
}

TEST(ElmQuirks, EachCloneSwitchChangesWhatTheHostSees) {
  for (const QuirkCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    c.check(RunScript(c, false), RunScript(c, true));
  }
}

}  // namespace
}  // namespace drunvale::sim
