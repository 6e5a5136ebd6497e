// SPDX-License-Identifier: GPL-3.0-or-later
// The console's keys and text, the requests to end and the one-copy lock on Windows. The keys,
// the text and Ctrl+C need a console: cmake/wine-run gives the test one (WINE_RUN_CONSOLE).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <string>

#include "platform/console_text.h"
#include "platform/termination.h"
#include "platform/windows/console_input_keys.h"
#include "platform/windows/named_mutex_instance_lock.h"

namespace drunvale {
namespace {

using namespace std::chrono_literals;

HANDLE OpenConsole(const wchar_t* name) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

INPUT_RECORD Key(wchar_t typed, WORD virtualKey, bool down = true) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down;
  record.Event.KeyEvent.wRepeatCount = 1;
  record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  record.Event.KeyEvent.uChar.UnicodeChar = typed;
  return record;
}

TEST(ConsoleInputKeys, KeysComeSinglyWhateverTheLayoutAndTheModeIsPutBack) {
  const HANDLE input = OpenConsole(L"CONIN$");
  ASSERT_NE(input, INVALID_HANDLE_VALUE) << "run with a console";
  DWORD before = 0;
  ASSERT_TRUE(GetConsoleMode(input, &before));
  ASSERT_TRUE(SetConsoleMode(input, before | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
  FlushConsoleInputBuffer(input);
  {
    auto keys = OpenConsoleInputKeys(input);
    DWORD raw = 0;
    ASSERT_TRUE(GetConsoleMode(input, &raw));
    EXPECT_EQ(raw & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), 0u);
    EXPECT_NE(raw & ENABLE_PROCESSED_INPUT, 0u);  // Ctrl+C stays a request to end
    // u; its release; Shift alone; r typed on a Russian layout (к); b.
    const INPUT_RECORD typed[] = {Key(L'u', 'U'), Key(L'u', 'U', false), Key(0, VK_SHIFT),
                                  Key(L'\x043a', 'R'), Key(L'b', 'B')};
    DWORD written = 0;
    ASSERT_TRUE(WriteConsoleInputW(input, typed, 5, &written));
    EXPECT_EQ(keys->WaitForKey(), 'u');
    EXPECT_EQ(keys->WaitForKey(), 'r');
    EXPECT_EQ(keys->WaitForKey(), 'b');
    auto waiting = std::async(std::launch::async, [&] { return keys->WaitForKey(); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    keys->Cancel();
    EXPECT_EQ(waiting.get(), std::nullopt);
  }
  DWORD after = 0;
  ASSERT_TRUE(GetConsoleMode(input, &after));
  EXPECT_EQ(after & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT),
            static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
  SetConsoleMode(input, before);
  CloseHandle(input);

  // Input that is no console gives no keys; only Cancel ends the wait.
  const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  auto none = OpenConsoleInputKeys(nul);
  auto waiting = std::async(std::launch::async, [&] { return none->WaitForKey(); });
  EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
  none->Cancel();
  EXPECT_EQ(waiting.get(), std::nullopt);
  CloseHandle(nul);
}

TEST(ConsoleText, UnicodeOnTheConsoleBytesElsewhereAndTheCodePagePutBack) {
  const UINT before = GetConsoleOutputCP();
  ASSERT_NE(before, 0u) << "run with a console";
  const UINT other = before == 866 ? 1251 : 866;
  ASSERT_TRUE(SetConsoleOutputCP(other));
  {
    const Utf8Console utf8;
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
  }
  EXPECT_EQ(GetConsoleOutputCP(), other);
  SetConsoleOutputCP(before);

  // The console gets characters, even on a code page that has none of them.
  const HANDLE screen = OpenConsole(L"CONOUT$");
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  // A console's standard output can be read from too, which its mode needs.
  std::FILE* console = _fdopen(
      _open_osfhandle(reinterpret_cast<intptr_t>(OpenConsole(L"CONOUT$")), _O_WRONLY | _O_TEXT),
      "w");
  ASSERT_NE(console, nullptr);
  const COORD at{0, 0};
  ASSERT_TRUE(SetConsoleCursorPosition(screen, at));
  WriteText(console, "Старт › 1");
  wchar_t shown[9] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown, 9, at, &read));
  EXPECT_EQ(std::wstring(shown, 9), L"Старт › 1");
  std::fclose(console);
  CloseHandle(screen);

  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  WriteText(file, "Старт ›");
  std::rewind(file);
  char bytes[32] = {};
  EXPECT_EQ(std::string(bytes, std::fread(bytes, 1, sizeof bytes, file)), "Старт ›");
  std::fclose(file);
}

std::promise<void>* probeHeard = nullptr;
BOOL WINAPI Probe(DWORD) {
  if (probeHeard) probeHeard->set_value();
  return TRUE;
}

TEST(Termination, CtrlCIsHandedOnWhileWatchedAndTheOldHandlingComesBack) {
  ASSERT_NE(GetConsoleOutputCP(), 0u) << "run with a console";
  std::promise<void> probe;
  probeHeard = &probe;
  ASSERT_TRUE(SetConsoleCtrlHandler(Probe, TRUE));  // stands for the system's handling
  {
    std::promise<void> heard;
    auto watch = WatchTermination([&] { heard.set_value(); });
    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    EXPECT_EQ(heard.get_future().wait_for(5s), std::future_status::ready);
  }
  ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
  EXPECT_EQ(probe.get_future().wait_for(5s), std::future_status::ready);
  SetConsoleCtrlHandler(Probe, FALSE);
  probeHeard = nullptr;
}

TEST(NamedMutexInstanceLock, OneHolderPerNameUntilItGoes) {
  const std::string name = "Tembrook.Drunvale.test-" + std::to_string(GetCurrentProcessId());
  std::string error;
  {
    NamedMutexInstanceLock first(name), second(name);
    EXPECT_EQ(first.TryAcquire(error), InstanceLock::Result::Acquired);
    EXPECT_EQ(second.TryAcquire(error), InstanceLock::Result::HeldByAnother);
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(first.MeetingPoint(), "\\\\.\\pipe\\" + name);
  }
  NamedMutexInstanceLock later(name);
  EXPECT_EQ(later.TryAcquire(error), InstanceLock::Result::Acquired);  // the holder went
  NamedMutexInstanceLock unnamed("", "no user");
  EXPECT_EQ(unnamed.TryAcquire(error), InstanceLock::Result::Failed);
  EXPECT_EQ(error, "no user");

  // This user's copies share one name.
  auto mine = MakeUserInstanceLock(), another = MakeUserInstanceLock();
  EXPECT_EQ(mine->TryAcquire(error), InstanceLock::Result::Acquired) << error;
  EXPECT_EQ(another->TryAcquire(error), InstanceLock::Result::HeldByAnother);
  EXPECT_EQ(mine->MeetingPoint(), another->MeetingPoint());
}

}  // namespace
}  // namespace drunvale
