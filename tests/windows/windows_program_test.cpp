// SPDX-License-Identifier: GPL-3.0-or-later
// drunvale.exe under Wine, driven from Linux: its answers and exit codes, the demo, and the
// console polling the simulated control unit on a pseudo-terminal that Wine's prefix knows as
// COM5, through Wine's serial layer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "console/served_drive.h"
#include "console/spawn_program.h"
#include "platform/tcp_listener.h"
#include "program_version.h"
#include "sim/ecu_simulator.h"
#include "sim/elm_server.h"
#include "sim/pty_host_stream.h"
#include "sim/served_trip.h"
#include "sim/tcp_host_stream.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

const std::string kPrefix = DRUNVALE_WINE_PREFIX;
// ALSA's default device for Wine's sound drivers: one that plays into nothing, and none.
const std::string kNullSound = "pcm.!default { type null }\n";
const std::string kNoSound = "pcm.!default { type drunvale_none }\n";
const std::string kNoSoundSaid = "status: Нет звукового устройства: звука не будет.\n";

// What a program printed, with Windows' line ends made Linux ones.
std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

struct Outcome {
  int code = -1;
  std::string output;  // standard output and standard error together
};

// Through cmake/wine-run, as ctest runs the Windows tests: it makes the prefix on the first
// start and keeps one wineserver for the rest.
Outcome RunUnderWine(const std::string& arguments) {
  Outcome outcome;
  const std::string command = "'" DRUNVALE_WINE_RUN "' '" + kPrefix +
                              "' '" DRUNVALE_WINE_PROGRAM "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
    outcome.output.append(buffer, n);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) outcome.code = WEXITSTATUS(status);
  outcome.output = WithoutCarriageReturns(outcome.output);
  return outcome;
}

// The program started straight under wine, so that SIGINT reaches it as Ctrl+C. Its output
// goes to a file: Wine's own services, should this start them, would keep a pipe open.
class WineConsole {
 public:
  // alsaConfig: the sound device Wine finds, as ALSA's configuration.
  WineConsole(const std::string& arguments, const std::string& alsaConfig) {
    RunUnderWine("--version");  // the prefix and its server are there before the clock runs
    outputPath_ = (fs::temp_directory_path() / ("drunvale-wine-" + std::to_string(getpid()) + "-" +
                                                std::to_string(++count_) + ".txt"))
                      .string();
    std::vector<std::string> args = {"/usr/bin/env", "wine", DRUNVALE_WINE_PROGRAM};
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
      args.push_back(word);
    pid_ = testing::SpawnToFile(args,
                                {"WINEPREFIX=" + kPrefix, "WINEDEBUG=-all",
                                 "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d",
                                 "ALSA_CONFIG_PATH=" + WriteAlsaConfig(alsaConfig)},
                                outputPath_);
  }
  ~WineConsole() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove(outputPath_, ignored);
    fs::remove(alsaPath_, ignored);
  }

  bool Started() const { return pid_ > 0; }
  std::string Output() const {
    std::ifstream in(outputPath_, std::ios::binary);
    return WithoutCarriageReturns(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  // True once the output holds `wanted`, false when the time ran out first.
  bool WaitFor(const std::string& wanted, std::chrono::seconds limit) const {
    return WaitUntil(
        [&](const std::string& output) { return output.find(wanted) != std::string::npos; }, limit);
  }
  template <typename Condition>
  bool WaitUntil(Condition shown, std::chrono::seconds limit) const {
    for (const auto deadline = Steady::now() + limit; Steady::now() < deadline;) {
      if (shown(Output())) return true;
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }
  // Ctrl+C, then the exit code, or -1 when the program did not end within 30 s.
  int Interrupt() {
    kill(pid_, SIGINT);
    for (const auto deadline = Steady::now() + 30s; Steady::now() < deadline;) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }

 private:
  std::string WriteAlsaConfig(const std::string& config) {
    alsaPath_ = outputPath_ + ".asoundrc";
    std::ofstream(alsaPath_) << config;
    return alsaPath_;
  }

  static inline int count_ = 0;
  std::string outputPath_;
  std::string alsaPath_;
  pid_t pid_ = -1;
};

TEST(ProgramUnderWine, AnswersExitCodesAndUtf8AsOnLinux) {
  Outcome version = RunUnderWine("--version");
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.output, "drunvale " DRUNVALE_VERSION "\n");
  EXPECT_EQ(RunUnderWine("--no-such-option").code, 64);
  Outcome help = RunUnderWine("--help");
  EXPECT_NE(help.output.find("HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0"),
            std::string::npos)
      << help.output;
  EXPECT_NE(help.output.find("\"Настройка\""), std::string::npos) << help.output;

  // Without a display the window cannot open: one line points to the console.
  Outcome window = RunUnderWine("--demo");
  EXPECT_EQ(window.code, 69);
  EXPECT_NE(window.output.find("--console"), std::string::npos) << window.output;
  EXPECT_EQ(window.output.find('\n'), window.output.size() - 1) << window.output;

  // A port name in Cyrillic comes in from the wide command line and goes back out intact.
  WineConsole console("--console --port Порт7", kNoSound);
  ASSERT_TRUE(console.Started());
  EXPECT_TRUE(console.WaitFor("status: Не удаётся открыть Порт7.\n", 20s)) << console.Output();
  EXPECT_EQ(console.Interrupt(), 0) << console.Output();
}

// With beeps on DirectSound, on a device that plays into nothing.
TEST(ProgramUnderWine, DemoShowsLiveFiguresAndCtrlCEndsIt) {
  WineConsole demo("--console --demo --beep", kNullSound);
  ASSERT_TRUE(demo.Started());
  EXPECT_TRUE(demo.WaitFor("Ver.", 20s)) << demo.Output();
  // The engine's time keeps growing in the printed totals ("0:00:04").
  EXPECT_TRUE(demo.WaitUntil(
      [](const std::string& output) {
        const std::string row = "двигатель проработал     | 0:00:";
        const size_t last = output.rfind(row);
        return last != std::string::npos && std::atoi(output.c_str() + last + row.size()) >= 3;
      },
      20s))
      << demo.Output();
  EXPECT_EQ(demo.Interrupt(), 0);
  const std::string output = demo.Output();
  EXPECT_NE(output.find("status: Отсоединяемся...\nstatus: Соединение не установлено.\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("сейчас: "), std::string::npos) << output;
  EXPECT_EQ(output.find(kNoSoundSaid), std::string::npos) << output;
}

// Wine sets a pseudo-terminal to 38400 when asked for 10400; the terminal ignores the rate.
sim::EcuSimConfig OverWine(sim::EcuSimConfig config) {
  config.enforceLineRate = false;
  return config;
}

const fs::path kCom5 = fs::path(kPrefix) / "dosdevices" / "com5";

void UnlinkCom5() {
  std::error_code ignored;
  fs::remove(kCom5, ignored);
}

// The simulator's pseudo-terminal as the prefix's COM5.
void LinkAsCom5(const sim::EcuSimulator& ecu) {
  UnlinkCom5();
  fs::create_symlink(ecu.DevicePath(), kCom5);
}

// As the console's end-to-end test on Linux, through Wine's serial layer: the Linux side's
// pseudo-terminal linked into the prefix as COM5.
TEST(ProgramUnderWine, ConsoleOnComPortAgreesWithTheServedDrive) {
  sim::EcuSimConfig config = testing::FastDrive();
  config.identity = {"WINE COM5 ECU", "2.7", "SERIAL"};
  sim::EcuSimulator ecu(OverWine(config));
  std::string error;
  ASSERT_TRUE(ecu.Start(&error)) << error;
  LinkAsCom5(ecu);

  WineConsole console("--console --port COM5", kNoSound);
  ASSERT_TRUE(console.Started());
  EXPECT_TRUE(console.WaitFor("status: WINE COM5 ECU Ver. 2.7  SERIAL\n", 30s)) << console.Output();
  std::this_thread::sleep_for(6s);
  EXPECT_EQ(console.Interrupt(), 0);
  ecu.Stop();
  UnlinkCom5();
  const std::string output = console.Output();
  EXPECT_NE(output.find("status: Открываем COM5...\n"), std::string::npos) << output;
  // Without a sound device the run goes on silent, and says so.
  EXPECT_NE(output.find(kNoSoundSaid), std::string::npos) << output;

  // Ctrl+C still let the link send its closing requests.
  bool closed = false;
  for (const auto& request : ecu.Requests())
    if (!request.data.empty() && request.data[0] == 0x82) closed = true;
  EXPECT_TRUE(closed);
  const sim::ServedTotals served = sim::IntegrateServedSamples(ecu.ServedSamples());
  ASSERT_GT(served.counted, 20) << output;
  const double distance = testing::LastEverywhereValue(output, "автомобиль проехал");
  EXPECT_NEAR(distance, served.distanceKm, 0.01 + 0.03 * served.distanceKm) << output;
  // The prefix keeps the default price of 30 a litre: the money figure has the digits.
  const double money = testing::LastEverywhereValue(output, "всего на сумму");
  EXPECT_NEAR(money, served.fuelLitres * 30, 0.01 + 0.03 * served.fuelLitres * 30) << output;
}

// A pulled adapter fails the port's reads under Wine too: the console says so, and polls again
// once a new one is there under the same COM name.
TEST(ProgramUnderWine, APulledAdapterIsLostAndANewOneIsPolledAgain) {
  std::string error;
  sim::EcuSimulator first(OverWine(testing::FastDrive()));
  ASSERT_TRUE(first.Start(&error)) << error;
  LinkAsCom5(first);
  WineConsole console("--console --port COM5", kNoSound);
  ASSERT_TRUE(console.Started());
  ASSERT_TRUE(console.WaitFor("Ver.", 30s)) << console.Output();

  first.Unplug();
  sim::EcuSimulator second(OverWine(testing::FastDrive()));
  ASSERT_TRUE(second.Start(&error)) << error;
  LinkAsCom5(second);
  const std::string lost =
      "status: Связь с адаптером COM5 потеряна.\nstatus: Адаптер отключён или неисправен.\n";
  EXPECT_TRUE(console.WaitUntil(
      [&](const std::string& output) {
        const size_t at = output.find(lost);
        return at != std::string::npos && output.find("Ver.", at) != std::string::npos;
      },
      30s))
      << console.Output();
  EXPECT_EQ(console.Interrupt(), 0) << console.Output();
  second.Stop();
  UnlinkCom5();
}

// The simulated ELM327 through Wine's serial layer as COM5 and through Winsock as a Wi-Fi
// adapter on loopback: found by itself, set up and polled.
TEST(ProgramUnderWine, AnElmAdapterIsFoundAndPolledOnAComPortAndOverTcp) {
  std::string error;
  {
    sim::ElmServer elm({}, testing::FastDrive());
    std::unique_ptr<sim::PtyHostStream> terminal = sim::PtyHostStream::Open(&error);
    ASSERT_NE(terminal, nullptr) << error;
    UnlinkCom5();
    fs::create_symlink(terminal->DevicePath(), kCom5);
    ASSERT_TRUE(elm.Serve(std::move(terminal)));
    WineConsole console("--console --port COM5", kNoSound);
    ASSERT_TRUE(console.Started());
    EXPECT_TRUE(console.WaitFor("status: Адаптер ELM327 v1.5 на COM5, 38400 бит/с.\n", 60s))
        << console.Output();
    EXPECT_TRUE(
        console.WaitUntil([&](const std::string&) { return elm.ServedSamples().size() > 2; }, 30s))
        << console.Output();
    EXPECT_EQ(console.Interrupt(), 0) << console.Output();
    elm.Stop();
    UnlinkCom5();
  }
  ListeningPort listening = ListenOnTcp("127.0.0.1", 0);
  ASSERT_NE(listening.listener, nullptr) << listening.systemError;
  const std::string address = "socket://127.0.0.1:" + std::to_string(listening.listener->Port());
  sim::ElmServer elm({}, testing::FastDrive());
  ASSERT_TRUE(elm.Listen(sim::MakeTcpHostStreamListener(std::move(listening.listener))));
  WineConsole console("--console --port " + address, kNoSound);
  ASSERT_TRUE(console.Started());
  EXPECT_TRUE(console.WaitFor("status: Адаптер ELM327 v1.5 на " + address + ".\n", 60s))
      << console.Output();
  EXPECT_TRUE(
      console.WaitUntil([&](const std::string&) { return elm.ServedSamples().size() > 2; }, 30s))
      << console.Output();
  EXPECT_EQ(console.Interrupt(), 0) << console.Output();
  elm.Stop();
}

}  // namespace
}  // namespace drunvale
