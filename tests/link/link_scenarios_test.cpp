// SPDX-License-Identifier: GPL-3.0-or-later
// Each session scenario once, run on two rigs: the connection worker over the scripted port
// on virtual time, and (on Linux) the whole link with its threads over a pseudo-terminal
// against the simulated control unit. What only one rig can show stays with that rig's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include "link/link_texts.h"
#include "link/session_rig.h"

#ifndef _WIN32
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "emulator.h"
#include "link/kwp_link.h"
#include "link/link_test_outlets.h"
#include "sim/ecu_simulator.h"
#endif

namespace drunvale::testing {
namespace {

// What the steps of a scenario watch. Texts say "{port}" for the port's name and "{id}" for
// the control unit's identification, whichever rig shows them.
struct Seen {
  std::vector<std::string> statuses;
  int samples = 0;
  int samplesSinceStatus = 0;
};

enum class Act { None, IgnitionOff, IgnitionOn, Stop };

// The rig waits until `until` (over what was seen) or `summaryUntil` (over the link summary)
// holds, checks the summary, then acts.
struct Step {
  std::function<bool(const Seen&)> until;
  std::function<bool(const std::string&)> summaryUntil;
  Act act = Act::None;
  std::optional<std::string> summary;
};

enum class ControlUnit { Known, UnknownKeyBytes, NoPort };

// One request as the control unit heard it; answered: a whole answer went back.
struct Heard {
  Bytes data;
  uint32_t rate = 0;
  bool answered = false;
};

constexpr int kAnyCount = -1;
// count requests alike (kAnyCount: as many as follow).
struct Expected {
  Bytes data;
  uint32_t rate = 10400;
  bool answered = true;
  int count = 1;
};

struct Scenario {
  std::string name;
  uint16_t baud = 10400;
  ControlUnit ecu = ControlUnit::Known;
  std::vector<Step> steps;  // the last one stops the link
  std::vector<std::string> statuses;
  std::vector<std::string> causes;
  std::vector<Expected> requests;
  int opens = 1;  // attempts
  int closes = 1;
};

// What a rig saw.
struct Outcome {
  size_t stepsDone = 0;
  std::vector<std::string> summaries;  // where a step expects one
  std::vector<std::string> statuses, causes;
  std::vector<Heard> requests;
  int opens = 0, closes = 0;
};

std::string Normalized(std::string text, const std::string& port, const std::string& id) {
  for (const auto& [from, to] : {std::pair{id, "{id}"}, std::pair{port, "{port}"}}) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
      text.replace(at, from.size(), to);
  }
  return text;
}

std::string Describe(const Bytes& data, uint32_t rate, bool answered) {
  std::string text;
  char buf[8];
  for (uint8_t b : data) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    text += buf;
  }
  return text + "at " + std::to_string(rate) + (answered ? "" : ", unanswered");
}

// "" when the requests follow the pattern, else where they part from it.
std::string Mismatch(const std::vector<Heard>& heard, const std::vector<Expected>& pattern) {
  size_t at = 0;
  auto fits = [&](const Expected& e) {
    return at < heard.size() && heard[at].data == e.data && heard[at].rate == e.rate &&
           heard[at].answered == e.answered;
  };
  auto got = [&] {
    return at < heard.size() ? Describe(heard[at].data, heard[at].rate, heard[at].answered)
                             : std::string("nothing");
  };
  for (const Expected& e : pattern) {
    if (e.count == kAnyCount) {
      while (fits(e))
        ++at;
      continue;
    }
    for (int i = 0; i < e.count; ++i, ++at) {
      if (!fits(e)) {
        return "request " + std::to_string(at) + ": expected " +
               Describe(e.data, e.rate, e.answered) + ", got " + got();
      }
    }
  }
  return at == heard.size() ? "" : "request " + std::to_string(at) + " was not expected: " + got();
}

int Count(const std::vector<std::string>& texts, const std::string& text) {
  return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

// Steps for the table.
Step StopWhen(std::function<bool(const Seen&)> until, std::string summary) {
  return {std::move(until), nullptr, Act::Stop, std::move(summary)};
}
auto Samples(int count) {
  return [count](const Seen& s) { return s.samples >= count; };
}
auto Shown(std::string text, int times = 1) {
  return [text, times](const Seen& s) { return Count(s.statuses, text) >= times; };
}
// Requests for the table.
Expected Sent(Bytes data, uint32_t rate = 10400) {
  return {std::move(data), rate};
}
Expected Polls(uint32_t rate = 10400) {
  return {{0x21, 0x01}, rate, true, kAnyCount};
}
Expected Unanswered(Bytes data, int count) {
  return {std::move(data), 10400, false, count};
}

const std::string kOpening = "Открываем {port}...";
const std::string kPolling = "{port} : 10400 : Ошибок: 0";

std::vector<Expected> SessionAt10400() {
  return {Sent({0x20}),       Sent({0x82}), Sent({0x81}), Sent({0x1A, 0x80}),
          Sent({0x21, 0x01}), Polls(),      Sent({0x20}), Sent({0x82})};
}

Scenario RateSwitch(uint16_t baud, uint8_t code) {
  const std::string rate = std::to_string(baud);
  return {.name = "RateSwitchTo" + rate,
          .baud = baud,
          // The line moves only after the positive answer; the goodbye moves it back.
          .steps = {StopWhen(Samples(2), "{port} : " + rate + " : Ошибок: 0")},
          .statuses = {kOpening, kContact, "Запрос продвинутой скорости обмена " + rate + "...",
                       "{id}"},
          .causes = {""},
          .requests = {Sent({0x20}), Sent({0x82}), Sent({0x81}), Sent({0x10, 0x81, code}),
                       Sent({0x1A, 0x80}, baud), Sent({0x21, 0x01}, baud), Polls(baud),
                       Sent({0x20}, baud), Sent({0x82})}};
}

std::vector<Scenario> Scenarios() {
  std::vector<std::string> blinking = {kOpening, kContact};
  for (int i = 0; i < 4; ++i)
    blinking.insert(blinking.end(), {kWarning, ""});
  blinking.insert(blinking.end(), {kWarning, "{id}"});

  std::vector<std::string> waitedFor = {kOpening, kContact, "{id}"};
  for (int i = 1; i <= 50; ++i)
    waitedFor.push_back(Marks(i));
  waitedFor.insert(waitedFor.end(), {kOpening, kContact, "{id}"});
  std::vector<Expected> silence = {
      Sent({0x20}), Sent({0x82}), Sent({0x81}), Sent({0x1A, 0x80}), Sent({0x21, 0x01}), Polls(),
      // 20 polls unheard, then three tries at each goodbye
      Unanswered({0x21, 0x01}, 20), Unanswered({0x20}, 3), Unanswered({0x82}, 3)};
  const std::vector<Expected> session = SessionAt10400();
  silence.insert(silence.end(), session.begin(), session.end());

  return {
      {.name = "KnownControlUnitAt10400",
       .steps = {StopWhen(Samples(3), kPolling)},
       .statuses = {kOpening, kContact, "{id}"},
       .causes = {""},  // cleared at the opening
       .requests = SessionAt10400()},
      RateSwitch(38400, 0x26),
      RateSwitch(57600, 0x39),
      {.name = "UnknownKeyBytesBlinkTheWarningThenPollingGoesOn",
       .ecu = ControlUnit::UnknownKeyBytes,
       .steps = {StopWhen(Samples(1), kPolling)},
       .statuses = blinking,
       .causes = {""},
       .requests = SessionAt10400()},
      {.name = "StopWhileTheWarningBlinksSendsNoGoodbye",
       .ecu = ControlUnit::UnknownKeyBytes,
       .steps = {StopWhen(Shown(kWarning, 2), kPolling)},
       .statuses = std::vector<std::string>(blinking.begin(), blinking.begin() + 5),
       .causes = {""},
       .requests = {Sent({0x20}), Sent({0x82}), Sent({0x81})}},
      {.name = "SilentControlUnitIsWaitedForAndPickedUpAgain",
       .steps = {{Samples(2), nullptr, Act::IgnitionOff, kPolling},
                 // Unanswered polls are counted while the port is still open.
                 {nullptr,
                  [](const std::string& summary) {
                    return summary.starts_with("{port} : 10400 : Ошибок: ") && summary != kPolling;
                  },
                  Act::None, std::nullopt},
                 // The port is closed while the indicator runs.
                 {Shown(Marks(1)), nullptr, Act::IgnitionOn, ""},
                 StopWhen(
                     [](const Seen& s) {
                       return Count(s.statuses, "{id}") == 2 && s.samplesSinceStatus > 0;
                     },
                     kPolling)},
       .statuses = waitedFor,
       .causes = {"", ""},
       .requests = silence,
       .opens = 2,
       .closes = 2},
      {.name = "PortThatWillNotOpenIsTriedAgainUntilStopped",
       .ecu = ControlUnit::NoPort,
       .steps = {StopWhen(Shown(Marks(2)), "")},
       .statuses = {kOpening, "Не удаётся открыть {port}.", Marks(1), Marks(2)},
       .causes = {kNoDevice},
       .requests = {},
       .closes = 0},
  };
}

// The connection worker alone, over the scripted port on virtual time: every step is taken
// in the worker's own callbacks, at the very moment it comes true.
Outcome RunScripted(const Scenario& scenario) {
  SessionRig rig(scenario.baud);
  if (scenario.ecu == ControlUnit::UnknownKeyBytes) rig.ecu.keyBytes = {0xEF, 0x8F};
  rig.openFails = scenario.ecu == ControlUnit::NoPort;  // as a missing device
  rig.stop.SetAt(SessionRig::kStart + 600'000);         // should a step never come
  const std::string id = "ECU-NAME Ver. 1.2  20240101\r\n";
  auto normal = [&](const std::string& text) { return Normalized(text, "COM1", id); };

  Outcome out;
  Seen seen;
  auto check = [&] {
    while (out.stepsDone < scenario.steps.size()) {
      const Step& step = scenario.steps[out.stepsDone];
      const std::string summary = normal(rig.Summary());
      if (step.until ? !step.until(seen) : !step.summaryUntil(summary)) return;
      ++out.stepsDone;
      if (step.summary) out.summaries.push_back(summary);
      if (step.act == Act::IgnitionOff) rig.ecu.silent = true;
      if (step.act == Act::IgnitionOn) rig.ecu.silent = false;
      if (step.act == Act::Stop) rig.stop.Set();
    }
  };
  rig.onStatus = [&](const std::string& text) {
    seen.statuses.push_back(normal(text));
    seen.samplesSinceStatus = 0;
    check();
  };
  rig.onSample = [&] {
    ++seen.samples;
    ++seen.samplesSinceStatus;
    check();
  };
  rig.ecu.onRequest = [&](uint8_t) { check(); };

  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  out.statuses = seen.statuses;
  for (const std::string& cause : rig.causes)
    out.causes.push_back(normal(cause));
  for (size_t i = 0; i < rig.ecu.requests.size(); ++i)
    out.requests.push_back({rig.ecu.requests[i], rig.ecu.rates[i], rig.ecu.answered[i]});
  out.opens = rig.opens;
  out.closes = rig.closes;
  return out;
}

#ifndef _WIN32
using namespace std::chrono_literals;

// Counts the ports the link closes.
class CountedPort final : public SerialPort {
 public:
  CountedPort(std::unique_ptr<SerialPort> port, std::shared_ptr<std::atomic<int>> closes)
      : port_(std::move(port)), closes_(std::move(closes)) {}
  ~CountedPort() override { ++*closes_; }
  IoResult SetLine(uint32_t baud) override { return port_->SetLine(baud); }
  void SetTimeouts(const SerialTimeouts& t) override { port_->SetTimeouts(t); }
  IoResult Purge() override { return port_->Purge(); }
  IoResult Write(const uint8_t* data, size_t n) override { return port_->Write(data, n); }
  IoResult Read(uint8_t* data, size_t n) override { return port_->Read(data, n); }
  bool SetRts(bool on) override { return port_->SetRts(on); }
  bool SetDtr(bool on) override { return port_->SetDtr(on); }

 private:
  std::unique_ptr<SerialPort> port_;
  std::shared_ptr<std::atomic<int>> closes_;
};

// The link with its worker thread over the simulated control unit on a pseudo-terminal. The
// worker's outlets note when a step comes true; this thread then acts. Worker texts that
// arrive between the stop coming true and the stop itself are the race of two threads, and
// are left out.
Outcome RunOnPty(const Scenario& scenario) {
  std::unique_ptr<sim::EcuSimulator> ecu;
  std::string port = "/dev/drunvale-no-such-port";
  if (scenario.ecu != ControlUnit::NoPort) {
    sim::EcuSimConfig config;
    if (scenario.ecu == ControlUnit::UnknownKeyBytes) config.keyBytes = sim::kUnknownKeyBytes;
    ecu = std::make_unique<sim::EcuSimulator>(config);
    std::string error;
    EXPECT_TRUE(ecu->Start(&error)) << error;
    port = ecu->DevicePath();
  }
  auto normal = [&](const std::string& text) { return Normalized(text, port, kSimIdentification); };
  Settings s;
  s.Port = port;
  s.Params.BaudRate = scenario.baud;
  s.Params.RtsPulse = false;
  SharedSettings settings(s);

  auto opens = std::make_shared<std::atomic<int>>(0);
  auto closes = std::make_shared<std::atomic<int>>(0);
  SerialPortOpener opener = [opens, closes](const std::string& path) -> OpenedPort {
    ++*opens;
    OpenedPort opened = OpenSystemSerialPort(path);
    if (!opened.port) return opened;
    return {std::make_unique<CountedPort>(std::move(opened.port), closes), {}};
  };

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> texts, causes;  // all of them, the link's own too
  std::vector<Sample> samples;
  Seen seen;
  size_t step = 0;
  std::optional<size_t> cameAt;  // the texts so far when the current step came true
  // Under the mutex.
  auto check = [&] {
    if (!cameAt && step < scenario.steps.size() && scenario.steps[step].until &&
        scenario.steps[step].until(seen)) {
      cameAt = texts.size();
      changed.notify_all();
    }
  };

  KwpLink link(
      settings,
      [&](float speed, float air, float fuel, bool running) {
        std::lock_guard lock(mutex);
        samples.push_back({speed, air, fuel, running});
        ++seen.samples;
        ++seen.samplesSinceStatus;
        check();
      },
      nullptr, SystemTickClock(), opener);
  link.Start(
      [&](std::string text) {
        std::lock_guard lock(mutex);
        texts.push_back(normal(text));
        if (texts.size() > 1) seen.statuses.push_back(texts.back());  // after the link's own
        seen.samplesSinceStatus = 0;
        check();
      },
      [&](std::string text) {
        std::lock_guard lock(mutex);
        causes.push_back(normal(text));
      });

  Outcome out;
  std::optional<size_t> cut;
  for (; out.stepsDone < scenario.steps.size(); ++out.stepsDone) {
    const Step& current = scenario.steps[out.stepsDone];
    std::string summary;
    bool came = false;
    if (current.until) {
      std::unique_lock lock(mutex);
      came = changed.wait_for(lock, 60s, [&] { return cameAt.has_value(); });
      if (came && current.act == Act::Stop) cut = *cameAt;
      lock.unlock();
      summary = normal(link.LinkSummary());
    } else {
      for (int i = 0; i < 6000 && !came; ++i) {
        summary = normal(link.LinkSummary());
        came = current.summaryUntil(summary);
        if (!came) std::this_thread::sleep_for(10ms);
      }
    }
    if (!came) break;
    if (current.summary) out.summaries.push_back(summary);
    EXPECT_TRUE(link.WorkerRunning());  // only a stop ends it
    if (current.act == Act::IgnitionOff) ecu->SetIgnitionOff();
    if (current.act == Act::IgnitionOn) ecu->SetIgnitionOn();
    if (current.act == Act::Stop) link.Stop();
    std::lock_guard lock(mutex);
    ++step;
    cameAt.reset();
    check();
  }
  link.Stop();
  EXPECT_FALSE(link.WorkerRunning());
  EXPECT_EQ(link.LinkSummary(), "");

  std::lock_guard lock(mutex);
  // The link's own texts around its worker's, and the cause line cleared at the start.
  EXPECT_GE(texts.size(), 3u);
  if (texts.size() >= 3) {
    EXPECT_EQ(texts.front(), kConnecting);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
              (std::vector<std::string>{kDisconnecting, kNotConnected}));
    out.statuses.assign(texts.begin() + 1,
                        texts.begin() + std::min(cut.value_or(texts.size()), texts.size() - 2));
  }
  EXPECT_FALSE(causes.empty());
  if (!causes.empty()) {
    EXPECT_EQ(causes.front(), "");
    out.causes.assign(causes.begin() + 1, causes.end());
  }

  if (ecu) {
    const std::vector<sim::ServedSample> served = ecu->ServedSamples();
    for (const sim::RequestRecord& r : ecu->Requests()) {
      bool answered =
          r.outcome == sim::RequestOutcome::Positive || r.outcome == sim::RequestOutcome::Negative;
      if (answered && !r.data.empty() && r.data[0] == 0x21) {
        const auto sample = std::find_if(served.begin(), served.end(),
                                         [&](const auto& x) { return x.requestAt == r.at; });
        answered = sample != served.end() && sample->Accepted();
      }
      out.requests.push_back({r.data, r.testerRate, answered});
    }
    // The samples are the served blocks, decoded.
    std::vector<sim::ServedSample> accepted;
    std::copy_if(served.begin(), served.end(), std::back_inserter(accepted),
                 [](const auto& x) { return x.Accepted(); });
    EXPECT_GE(accepted.size(), std::min<size_t>(3, samples.size()));
    for (size_t i = 0; i < std::min<size_t>({3, samples.size(), accepted.size()}); ++i) {
      EXPECT_EQ(samples[i].speed, accepted[i].speed);
      EXPECT_EQ(samples[i].air, accepted[i].air);
      EXPECT_EQ(samples[i].fuel, accepted[i].fuel);
      EXPECT_EQ(samples[i].running, accepted[i].running);
    }
  }
  out.opens = *opens;
  out.closes = *closes;
  return out;
}
#endif

enum class RigKind { Scripted, Pty };

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}
void PrintTo(RigKind kind, std::ostream* out) {
  *out << (kind == RigKind::Pty ? "pty" : "scripted");
}

class LinkScenario : public ::testing::TestWithParam<std::tuple<RigKind, Scenario>> {};

TEST_P(LinkScenario, ShowsItsTextsAndSendsItsRequests) {
  const auto& [kind, scenario] = GetParam();
  Outcome out;
#ifndef _WIN32
  if (kind == RigKind::Pty) {
    DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  }
  out = kind == RigKind::Pty ? RunOnPty(scenario) : RunScripted(scenario);
#else
  out = RunScripted(scenario);
#endif
  ASSERT_EQ(out.stepsDone, scenario.steps.size()) << "a step never came";
  std::vector<std::string> summaries;
  for (const Step& step : scenario.steps) {
    if (step.summary) summaries.push_back(*step.summary);
  }
  EXPECT_EQ(out.summaries, summaries);
  EXPECT_EQ(out.statuses, scenario.statuses);
  EXPECT_EQ(out.causes, scenario.causes);
  EXPECT_EQ(Mismatch(out.requests, scenario.requests), "");
  EXPECT_EQ(out.opens, scenario.opens);
  EXPECT_EQ(out.closes, scenario.closes);
}

std::vector<RigKind> Rigs() {
#ifndef _WIN32
  return {RigKind::Scripted, RigKind::Pty};
#else
  return {RigKind::Scripted};
#endif
}

INSTANTIATE_TEST_SUITE_P(Link, LinkScenario,
                         ::testing::Combine(::testing::ValuesIn(Rigs()),
                                            ::testing::ValuesIn(Scenarios())),
                         [](const ::testing::TestParamInfo<LinkScenario::ParamType>& run) {
                           return std::string(std::get<0>(run.param) == RigKind::Pty ? "Pty"
                                                                                     : "Scripted") +
                                  "_" + std::get<1>(run.param).name;
                         });

}  // namespace
}  // namespace drunvale::testing
