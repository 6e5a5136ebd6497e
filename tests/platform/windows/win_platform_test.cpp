// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/clock.h"
#include "platform/data_folder.h"
#include "platform/display_keeper.h"
#include "platform/serial_port_probe.h"
#include "platform/sleep_clock.h"
#include "platform/user_store.h"
#include "platform/wall_clock.h"
#include "platform/windows/registry_user_store.h"
#include "platform/windows/run_key_autostart.h"
#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;

// Loose bounds: these check the units of each clock, not how punctually Wine sleeps.
TEST(WindowsClocks, TheTickCountsMillisecondsAndTheCounterItsOwnFrequency) {
  TickClock& tick = SystemTickClock();
  HighResClock& counter = SystemHighResClock();
  ASSERT_GT(counter.Frequency(), 0);
  const uint32_t tick0 = tick.NowMs();
  const int64_t count0 = counter.Now();
  tick.SleepMs(100);
  const uint32_t tickMs = tick.NowMs() - tick0;
  const double counterMs = 1000.0 * static_cast<double>(counter.Now() - count0) /
                           static_cast<double>(counter.Frequency());
  // GetTickCount moves in steps of up to 16 ms; under Wine its server moves it, late when the
  // machine is busy (81 ms seen here). Still milliseconds, not seconds or counter ticks.
  EXPECT_GE(tickMs, 50u);
  EXPECT_LT(tickMs, 2000u);
  EXPECT_GE(counterMs, 99.0);
  EXPECT_LT(counterMs, 2000.0);
}

// The test runs with TZ=Asia/Yekaterinburg: five hours east, no daylight saving.
TEST(WindowsPlaces, TheCalendarClockCarriesTheZonesOffsetAndTheJournalLivesInLocalAppData) {
  const LocalTime now = SystemWallClock().Now();
  EXPECT_NEAR(static_cast<double>(now.unixSeconds), static_cast<double>(std::time(nullptr)), 5);
  EXPECT_EQ(now.utcOffsetMinutes, 300);
  const std::string path = OpenUserDataFolder()->Path();
  EXPECT_THAT(path, ::testing::EndsWith("\\AppData\\Local\\Tembrook\\Drunvale"));
  EXPECT_THAT(OpenUserDataFolder()->PathOf("trips.csv"),
              ::testing::EndsWith("Drunvale\\trips.csv"));
}

// A folder of this test's own under the temporary one (not made yet).
std::wstring TempFolder(const std::wstring& what) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"drunvale-" + what + L"-" + std::to_wstring(GetCurrentProcessId());
}

// A spreadsheet program keeps the file it opened for writing, letting others only read.
TEST(WindowsPlaces, AFileASpreadsheetHoldsIsBusyForRowsButStillReadsAndTakesThemOnceLetGo) {
  const std::wstring folder = TempFolder(L"busy");
  const auto data = OpenDataFolderAt(Utf8FromWide(folder));
  ASSERT_TRUE(data->AppendLine("trips.csv", "h", "1").Ok());
  const std::wstring file = folder + L"\\trips.csv";
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data->AppendLine("trips.csv", "h", "2").status, FileResult::Status::Busy);
  std::string bytes;
  EXPECT_TRUE(data->Read("trips.csv", bytes).Ok());
  EXPECT_EQ(bytes, "h\n1\n");
  CloseHandle(held);
  EXPECT_TRUE(data->AppendLine("trips.csv", "h", "2").Ok());
  EXPECT_TRUE(data->Read("trips.csv", bytes).Ok());
  EXPECT_EQ(bytes, "h\n1\n2\n");
  data->Remove("trips.csv");
  RemoveDirectoryW(folder.c_str());
}

// Virus scanners and backups open files they find, the journal's lock among them.
TEST(WindowsPlaces, OnlyAnotherCopysLockMakesTheClaimBusyNotAnotherProgramHoldingTheFile) {
  const std::wstring folder = TempFolder(L"claim");
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring lock = folder + L"\\journal.lock";
  const auto openAs = [&](DWORD sharing) {
    return CreateFileW(lock.c_str(), GENERIC_READ, sharing, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

  HANDLE scanner = openAs(all);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  auto first = OpenDataFolderAt(Utf8FromWide(folder));
  EXPECT_TRUE(first->Claim().Ok());
  HANDLE backup = openAs(all);  // comes while the claim is held
  EXPECT_NE(backup, INVALID_HANDLE_VALUE);
  CloseHandle(backup);
  auto second = OpenDataFolderAt(Utf8FromWide(folder));
  EXPECT_EQ(second->Claim().status, FileResult::Status::Busy);
  first.reset();
  EXPECT_TRUE(second->Claim().Ok());
  second.reset();
  CloseHandle(scanner);

  // One that lets no one in fails the claim for now, without passing for another copy.
  HANDLE exclusive = openAs(0);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  auto third = OpenDataFolderAt(Utf8FromWide(folder));
  const FileResult shut = third->Claim();
  EXPECT_EQ(shut.status, FileResult::Status::Failed);
  EXPECT_EQ(shut.systemError, ERROR_SHARING_VIOLATION);
  CloseHandle(exclusive);
  EXPECT_TRUE(third->Claim().Ok());
  third.reset();
  DeleteFileW(lock.c_str());
  RemoveDirectoryW(folder.c_str());
}

// Deleting the key under an open handle is a refusal a test can provoke under Wine.
TEST(WindowsRegistry, AValueTheRegistryWillNotReadFailsAndAMissingOneIsNotFound) {
  const std::string base =
      "Software\\DrunvaleTests\\failed-" + std::to_string(GetCurrentProcessId());
  const std::wstring baseKey(base.begin(), base.end());
  HKEY made;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (baseKey + L"\\Software\\Tembrook").c_str(), 0,
                            nullptr, 0, KEY_WRITE, nullptr, &made, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(made);
  RegistryUserStore store(base);
  const uint8_t port[] = {'C', 'O', 'M', '5', 0};
  ASSERT_TRUE(store.Open("Software\\Tembrook", StoreAccess::Write)->Set("Port", kRegSz, port));

  auto key = store.Open("Software\\Tembrook", StoreAccess::Read);
  ASSERT_NE(key, nullptr);
  uint8_t buffer[64];
  ValueInfo info;
  EXPECT_EQ(key->Query("Port", buffer, info), QueryStatus::Ok);
  EXPECT_EQ(key->Query("Rate", buffer, info), QueryStatus::NotFound);
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, baseKey.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(key->Query("Port", buffer, info), QueryStatus::Failed);
  EXPECT_EQ(key->Query("Rate", buffer, info), QueryStatus::Failed);
}

TEST(WindowsPortList, ComPortsByNumberEachOnce) {
  EXPECT_THAT(OrderComPorts({"COM10", "com2", "COM1", "CNCA0", "COM2", "COMX", "COM3"}),
              ElementsAre("COM1", "com2", "COM3", "COM10", "CNCA0", "COMX"));
  // Whatever Wine lists, it comes in that order.
  std::vector<std::string> present;
  for (const SerialPortName& port : ListSerialPorts())
    present.push_back(port.path);
  EXPECT_EQ(OrderComPorts(present), present);
}

TEST(WindowsSleepClock, AnAwakeComputerShowsNoJumpBetweenTwoLooks) {
  SleepClock& clock = SystemSleepClock();
  const int64_t first = clock.AsleepMs();
  Sleep(50);
  // The tick count moves in steps of up to 16 ms; the interrupt time does not.
  EXPECT_LT(std::abs(clock.AsleepMs() - first), 100);
}

TEST(WindowsRunKey, TheValueNamesTheProgramQuotedAndGoesAgain) {
  constexpr const wchar_t* kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  constexpr const wchar_t* kApproved =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
  auto read = [&] {
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    const LONG r =
        RegGetValueW(HKEY_CURRENT_USER, kRun, L"Drunvale", RRF_RT_REG_SZ, nullptr, text, &size);
    return r == ERROR_SUCCESS ? std::wstring(text) : std::wstring(L"(none)");
  };
  RunKeyAutostart autostart(L"C:\\Program Files\\Drunvale\\drunvale.exe");
  EXPECT_EQ(autostart.Where(),
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Drunvale");
  ASSERT_TRUE(autostart.Set(false));
  EXPECT_FALSE(autostart.IsOn());

  ASSERT_TRUE(autostart.Set(true));
  EXPECT_TRUE(autostart.IsOn());
  EXPECT_EQ(read(), L"\"C:\\Program Files\\Drunvale\\drunvale.exe\"");

  // Switched off in the Task Manager: off; switched on here: on again.
  const BYTE off[12] = {3};
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kApproved, L"Drunvale", REG_BINARY, off, sizeof off),
            ERROR_SUCCESS);
  EXPECT_FALSE(autostart.IsOn());
  ASSERT_TRUE(autostart.Set(true));
  EXPECT_TRUE(autostart.IsOn());

  ASSERT_TRUE(autostart.Set(false));
  EXPECT_FALSE(autostart.IsOn());
  EXPECT_EQ(read(), L"(none)");
  EXPECT_TRUE(autostart.Set(false));
}

TEST(WindowsDisplayKeeper, HoldsTheDisplayForThisThreadUntilReleased) {
  constexpr EXECUTION_STATE kHeld = ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;
  auto keeper = MakeSystemDisplayKeeper();
  keeper->Hold();
  keeper->Hold();
  // Setting the same state again answers with the state held before.
  EXPECT_EQ(SetThreadExecutionState(kHeld), kHeld);
  keeper->Release();
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS);
}

}  // namespace
}  // namespace drunvale
