// SPDX-License-Identifier: GPL-3.0-or-later
// drunvale --console against the simulated control unit on a real pseudo-terminal: the totals
// the console prints at the end must be what the served samples integrate to.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "console/served_drive.h"
#include "console/spawn_program.h"
#include "emulator.h"
#include "journal/csv.h"
#include "journal/journal_store.h"
#include "platform/linux/file_user_store.h"
#include "settings/settings.h"
#include "sim/ecu_simulator.h"
#include "sim/served_trip.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::FastDrive;
using testing::LastEverywhereValue;

struct Child {
  pid_t pid = -1;
  int out = -1;
};

// keys: a terminal for the child's standard input (the keys it reads), or -1 for none.
Child Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            int keys = -1) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  if (keys >= 0) {
    posix_spawn_file_actions_adddup2(&actions, keys, STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  Child child;
  child.pid = testing::SpawnProgram(args, extraEnv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  child.out = pipeFds[0];
  return child;
}

// Reads what the child printed until it closes its output or the time is up.
std::string ReadUntilClosed(int fd, std::chrono::milliseconds limit) {
  std::string text;
  auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

// Ends the child as a service manager (or, with SIGHUP, a closed terminal) would and collects
// the rest of what it prints.
std::string EndChild(Child& child, int& status, int signal = SIGTERM) {
  kill(child.pid, signal);
  std::string output = ReadUntilClosed(child.out, testing::Scaled(20s));
  waitpid(child.pid, &status, 0);
  close(child.out);
  return output;
}

// Reads what the child prints into text until it holds `wanted` (counted from `from`) or the
// time is up; true when found.
bool ReadUntilShown(int fd, std::string& text, const std::string& wanted, size_t from,
                    std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[4096];
  while (text.find(wanted, from) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    text.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

// The "везде" cell of the first printed row from `from` on (or of the last one) whose caption
// contains the given words, as printed.
std::string EverywhereCell(const std::string& output, const std::string& caption,
                           size_t from = std::string::npos) {
  std::istringstream in(from == std::string::npos ? output : output.substr(from));
  std::string line, found;
  while (std::getline(in, line)) {
    if (line.find(caption) == std::string::npos) continue;
    found = line;
    if (from != std::string::npos) break;
  }
  const size_t bar = found.find('|');
  if (bar == std::string::npos) return {};
  const size_t end = found.find('|', bar + 1);
  std::string cell = found.substr(bar + 1, end == std::string::npos ? end : end - bar - 1);
  cell.erase(0, cell.find_first_not_of(' '));
  cell.erase(cell.find_last_not_of(' ') + 1);
  return cell;
}

TEST(ConsoleEndToEnd, TotalsAgreeWithTheServedDrive) {
  fs::path home = fs::temp_directory_path() / ("drunvale-e2e-" + std::to_string(getpid()));
  fs::create_directories(home);
  {
    // A price of 1000 turns the fuel total into a money figure with more digits to compare.
    FileUserStore store(home.string());
    Settings settings;
    settings.Params.FuelPrice = 1000.0f;
    ASSERT_EQ(settings.Save(store), StoreResult::Ok);
  }

  sim::EcuSimulator ecu(FastDrive());
  std::string error;
  ASSERT_TRUE(ecu.Start(&error)) << error;

  Child child = Spawn({DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()},
                      {"XDG_CONFIG_HOME=" + home.string(), "ALSOFT_DRIVERS=null"});
  ASSERT_GT(child.pid, 0);
  std::this_thread::sleep_for(8s);
  int status = 0;
  std::string output = EndChild(child, status);
  ecu.Stop();
  fs::remove_all(home);

  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), 0) << output;
  EXPECT_NE(output.find("status: Открываем " + ecu.DevicePath() + "..."), std::string::npos)
      << output;
  EXPECT_NE(output.find("Ver."), std::string::npos) << output;
  // The clean stop still sent the closing requests.
  bool closed = false;
  for (const auto& request : ecu.Requests())
    if (!request.data.empty() && request.data[0] == 0x82) closed = true;
  EXPECT_TRUE(closed);

  sim::ServedTotals expected = sim::IntegrateServedSamples(ecu.ServedSamples());
  ASSERT_GT(expected.counted, 20) << output;
  double distance = LastEverywhereValue(output, "автомобиль проехал");
  double money = LastEverywhereValue(output, "всего на сумму");
  // Each sample's rates apply from the previous sample's arrival, which the program and the
  // simulator see a few milliseconds apart; the printed figures have two decimals.
  EXPECT_NEAR(distance, expected.distanceKm, 0.01 + 0.03 * expected.distanceKm) << output;
  EXPECT_NEAR(money, expected.fuelLitres * 1000, 0.01 + 0.03 * expected.fuelLitres * 1000)
      << output;
}

// The adapter is not there at the start, comes, is pulled out and comes back under the same
// name (a USB adapter's /dev/serial/by-id link moved to its new node): the console says what
// happens, polling resumes by itself, and the trip goes on growing without the pauses in it.
TEST(ConsoleEndToEnd, AnAdapterThatComesLateOrIsReplugedIsPickedUpAgain) {
  fs::path home = fs::temp_directory_path() / ("drunvale-replug-" + std::to_string(getpid()));
  fs::create_directories(home);
  const fs::path link = home / "usb-adapter";
  auto plugIn = [&](const sim::EcuSimulator& ecu) {
    const fs::path fresh = home / "usb-adapter.new";
    fs::create_symlink(ecu.DevicePath(), fresh);
    fs::rename(fresh, link);
  };
  const std::string port = link.string();

  Child child = Spawn({DRUNVALE_BINARY, "--console", "--port", port},
                      {"XDG_CONFIG_HOME=" + home.string(), "ALSOFT_DRIVERS=null"});
  ASSERT_GT(child.pid, 0);
  std::string output;
  EXPECT_TRUE(ReadUntilShown(child.out, output,
                             "status: Не удаётся открыть " + port +
                                 ".\nstatus: Нет такого устройства: адаптер не подключён?\n",
                             0, testing::Scaled(10s)))
      << output;

  sim::EcuSimulator first(FastDrive());
  std::string error;
  ASSERT_TRUE(first.Start(&error)) << error;
  plugIn(first);
  EXPECT_TRUE(ReadUntilShown(child.out, output, "Ver.", 0, testing::Scaled(15s))) << output;
  std::this_thread::sleep_for(4s);

  first.Unplug();
  sim::EcuSimulator second(FastDrive());
  ASSERT_TRUE(second.Start(&error)) << error;
  plugIn(second);
  const std::string lost = "status: Связь с адаптером " + port +
                           " потеряна.\nstatus: Адаптер отключён или неисправен.\n";
  EXPECT_TRUE(ReadUntilShown(child.out, output, lost, 0, testing::Scaled(10s))) << output;
  EXPECT_TRUE(ReadUntilShown(child.out, output, "Ver.", output.find(lost), testing::Scaled(15s)))
      << output;
  std::this_thread::sleep_for(4s);

  int status = 0;
  output += EndChild(child, status);
  second.Stop();
  fs::remove_all(home);
  ASSERT_TRUE(WIFEXITED(status)) << output;

  const sim::ServedTotals before = sim::IntegrateServedSamples(first.ServedSamples());
  const sim::ServedTotals after = sim::IntegrateServedSamples(second.ServedSamples());
  ASSERT_GT(before.counted, 5) << output;
  ASSERT_GT(after.counted, 5) << output;
  // Neither reset by the reconnection nor charged with the seconds without polling, which
  // at highway speed would add more than a tenth of a kilometre.
  const double expected = before.distanceKm + after.distanceKm;
  EXPECT_NEAR(LastEverywhereValue(output, "автомобиль проехал"), expected, 0.01 + 0.03 * expected)
      << output;
}

// The figures the console printed for a trip: its last tables before `end`, "везде" column.
struct PrintedTrip {
  std::string time, km, air, litres, money;
};

PrintedTrip PrintedBefore(const std::string& output, size_t end) {
  const std::string upTo = output.substr(0, end);
  return {EverywhereCell(upTo, "двигатель проработал"), EverywhereCell(upTo, "автомобиль проехал"),
          EverywhereCell(upTo, "испортил воздуха"), EverywhereCell(upTo, "выжрал топлива"),
          EverywhereCell(upTo, "всего на сумму")};
}

// Run in a terminal, reset twice and stopped, the console leaves a row in trips.csv for each
// trip, holding the figures it printed when the trip ended.
TEST(ConsoleEndToEnd, EachEndedTripIsARowOfTheJournalWithThePrintedFigures) {
  fs::path home = fs::temp_directory_path() / ("drunvale-journal-" + std::to_string(getpid()));
  fs::create_directories(home);
  sim::EcuSimulator ecu(FastDrive());
  std::string error;
  ASSERT_TRUE(ecu.Start(&error)) << error;

  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  Child child = Spawn(
      {DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()},
      {"XDG_CONFIG_HOME=" + home.string(), "XDG_DATA_HOME=" + home.string(), "ALSOFT_DRIVERS=null"},
      slave);
  close(slave);
  ASSERT_GT(child.pid, 0);
  std::string output;
  ASSERT_TRUE(ReadUntilShown(child.out, output, "Ver.", 0, testing::Scaled(15s))) << output;
  std::vector<size_t> resets;
  for (int trip = 0; trip < 2; ++trip) {
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(write(master, "r", 1), 1);
    ASSERT_TRUE(ReadUntilShown(child.out, output, "-- обнулено",
                               resets.empty() ? 0 : resets.back() + 1, testing::Scaled(5s)))
        << output;
    resets.push_back(output.rfind("-- обнулено"));
    // The ended trip's tables, then the new one's zeros.
    ASSERT_TRUE(
        ReadUntilShown(child.out, output, "всего на сумму", resets.back(), testing::Scaled(5s)));
    const size_t ended = output.find("всего на сумму", resets.back());
    ASSERT_TRUE(
        ReadUntilShown(child.out, output, "всего на сумму", ended + 1, testing::Scaled(5s)));
  }
  std::this_thread::sleep_for(2s);
  int status = 0;
  // The terminal closes: the last trip is written all the same.
  output += EndChild(child, status, SIGHUP);
  close(master);
  ecu.Stop();
  std::ifstream file(home / "Tembrook" / "Drunvale" / "trips.csv", std::ios::binary);
  const std::string journal{std::istreambuf_iterator<char>(file), {}};
  fs::remove_all(home);
  ASSERT_TRUE(WIFEXITED(status)) << output;

  EXPECT_TRUE(journal.starts_with("\xEF\xBB\xBFначало,конец,")) << journal;
  std::vector<std::string_view> lines = SplitLines(journal);
  ASSERT_EQ(lines.size(), 4u) << journal;
  // Each reset's row holds the tables printed right after "-- обнулено" (the ended trip's),
  // the last one those printed when the console stopped.
  const std::vector<PrintedTrip> printed = {
      PrintedBefore(output, output.find('\n', output.find("всего на сумму", resets[0]))),
      PrintedBefore(output, output.find('\n', output.find("всего на сумму", resets[1]))),
      PrintedBefore(output, output.size())};
  const char* ends[] = {"обнулено", "обнулено", "выход"};
  for (size_t trip = 0; trip < 3; ++trip) {
    std::vector<std::string> row;
    ASSERT_TRUE(SplitCsvLine(lines[trip + 1], row));
    ASSERT_EQ(row.size(), 27u) << lines[trip + 1];
    EXPECT_EQ(row[2], ends[trip]);
    EXPECT_EQ(row[3], printed[trip].time) << trip;
    EXPECT_EQ(row[6], printed[trip].km) << trip;
    EXPECT_EQ(row[9], printed[trip].litres) << trip;
    EXPECT_EQ(row[12], printed[trip].air) << trip;
    EXPECT_EQ(row[15], printed[trip].money) << trip;
    EXPECT_GT(std::atof(row[6].c_str()), 0.01) << "no distance in trip " << trip;
    EXPECT_EQ(row[25], ecu.DevicePath());
    EXPECT_NE(row[26].find("Ver."), std::string::npos) << row[26];
  }
}

// A stored factor of 1.1 makes the printed litres 1.1 times what the served samples integrate
// to; the air stays as served.
TEST(ConsoleEndToEnd, AStoredFuelFactorScalesThePrintedLitres) {
  fs::path home = fs::temp_directory_path() / ("drunvale-factor-" + std::to_string(getpid()));
  fs::create_directories(home);
  {
    FileUserStore store(home.string());
    Settings settings;
    settings.Params.FuelPrice = 1000.0f;
    ASSERT_EQ(settings.Save(store), StoreResult::Ok);
    ASSERT_TRUE(SaveFuelFactor(store, 11000));
  }
  sim::EcuSimulator ecu(FastDrive());
  std::string error;
  ASSERT_TRUE(ecu.Start(&error)) << error;
  Child child = Spawn({DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()},
                      {"XDG_CONFIG_HOME=" + home.string(), "XDG_DATA_HOME=" + home.string(),
                       "ALSOFT_DRIVERS=null"});
  ASSERT_GT(child.pid, 0);
  std::this_thread::sleep_for(8s);
  int status = 0;
  const std::string output = EndChild(child, status);
  ecu.Stop();
  fs::remove_all(home);
  ASSERT_TRUE(WIFEXITED(status)) << output;

  const sim::ServedTotals served = sim::IntegrateServedSamples(ecu.ServedSamples());
  ASSERT_GT(served.counted, 20) << output;
  const double money = LastEverywhereValue(output, "всего на сумму");
  const double air = LastEverywhereValue(output, "испортил воздуха");
  EXPECT_NEAR(money, 1.1 * served.fuelLitres * 1000, 0.01 + 0.03 * served.fuelLitres * 1000)
      << output;
  EXPECT_NEAR(air, served.airKg, 0.01 + 0.03 * served.airKg) << output;
}

}  // namespace
}  // namespace drunvale
