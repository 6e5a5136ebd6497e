// SPDX-License-Identifier: GPL-3.0-or-later
// drunvale.exe's native windows, driven from another Windows program under Wine with a display:
// the controls by identifier, the demo's live figures, the settings dialog's Cancel and Save,
// a second start, and the end of the session.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "dash/dash_look.h"
#include "dialogs/fill_up_dialog_template.h"
#include "dialogs/journal_window_template.h"
#include "dialogs/main_dialog_template.h"
#include "dialogs/main_menu.h"
#include "dialogs/settings_dialog_template.h"
#include "platform/data_folder.h"
#include "platform/user_store.h"
#include "settings/settings.h"
#include "settings/stored_values.h"
#include "win32/driving.h"

namespace drunvale {
namespace {

using namespace std::chrono_literals;
using namespace driving;

// The program under test, passed as the first argument.
std::wstring g_program;

Settings StoredSettings() {
  Settings settings;
  (void)settings.Load(*MakeSystemUserStore());  // none yet on a first start
  return settings;
}

void ForgetStoredSettings() {
  RegDeleteTreeW(HKEY_CURRENT_USER, WideFromUtf8(kSettingsKeyPath).c_str());
}

TEST(Win32View, MainWindowHasItsControlsShowsTheDemoAndASecondStartEndsAtOnce) {
  Program program(g_program, L"--demo");
  ASSERT_TRUE(program.Started());
  const auto& model = MainDialogTemplate();
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindDialog(model.title)) != nullptr; }, 30s));
  for (const ControlTemplate& control : model.controls) {
    if (control.id == kNoControlId) continue;
    HWND item = GetDlgItem(main, control.id);
    ASSERT_NE(item, nullptr) << control.id;
    if (!control.text.empty()) {
      EXPECT_EQ(TextOf(item), control.text) << control.id;
    }
  }

  // The demo starts by itself: the link's summary and a current figure show.
  HWND summary = GetDlgItem(main, model.IdOf(MainControl::Summary));
  HWND current = GetDlgItem(main, model.IdOf(MainControl::RatesCurrent));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(summary).starts_with("demo : "); }, 20s))
      << TextOf(summary);
  EXPECT_TRUE(WaitUntil([&] { return !TextOf(current).starts_with("- "); }, 20s))
      << TextOf(current);

  // F11 on the window opens the full-screen dash over its monitor; Esc on the dash closes it.
  PostMessageW(GetDlgItem(main, model.IdOf(MainControl::Start)), WM_KEYDOWN, VK_F11, 0);
  HWND dash = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] { return (dash = FindWindowW(L"DrunvaleDash", nullptr)) && IsWindowVisible(dash); },
      20s));
  RECT screen{};
  GetWindowRect(dash, &screen);
  EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
  PostMessageW(dash, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dash); }, 10s));

  Program second(g_program, L"--demo");
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.ExitCode(20s), 0);
  EXPECT_EQ(FindDialog(model.title), main);

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(30s), 2);
}

TEST(Win32View, SettingsCancelChangesNothingAndSaveWritesTheRegistry) {
  ForgetStoredSettings();
  Program program(g_program, L"");
  ASSERT_TRUE(program.Started());
  const auto& model = SettingsDialogTemplate();
  const int settingsButton = MainDialogTemplate().IdOf(MainControl::Settings);
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindDialog(MainDialogTemplate().title)); }, 30s));

  const auto openSettings = [&] {
    Click(main, settingsButton);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(model.title)) != nullptr; }, 20s);
    return dialog;
  };
  const auto typePrice = [&](HWND dialog, const wchar_t* price) {
    SendMessageTimeoutW(GetDlgItem(dialog, model.IdOf(SettingsControl::Price)), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(price), SMTO_BLOCK, 5000, nullptr);
  };

  HWND dialog = openSettings();
  ASSERT_NE(dialog, nullptr);
  for (const ControlTemplate& control : model.controls) {
    if (control.id != kNoControlId) {
      EXPECT_NE(GetDlgItem(dialog, control.id), nullptr) << control.id;
    }
  }
  EXPECT_EQ(TextOf(GetDlgItem(dialog, model.IdOf(SettingsControl::LevelCaption))),
            "Нулевой расход бензина\nизображать сигналом каждые");
  typePrice(dialog, L"7");
  Click(dialog, model.IdOf(SettingsControl::Cancel));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10s));
  EXPECT_FALSE(MakeSystemUserStore()->Exists(kSettingsKeyPath));

  dialog = openSettings();
  ASSERT_NE(dialog, nullptr);
  typePrice(dialog, L"7");
  Click(dialog, model.IdOf(SettingsControl::Save));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10s));
  EXPECT_FLOAT_EQ(StoredSettings().Params.FuelPrice, 7.0f);

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(30s), 2);
}

// Keys to the open menu, as the menu's own loop reads them from the window's thread.
void PressKeys(HWND window, std::initializer_list<WPARAM> keys) {
  const auto menuOpen = [] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
  };
  ASSERT_TRUE(WaitUntil(menuOpen, 10s));
  for (WPARAM key : keys) {
    PostMessageW(window, WM_KEYDOWN, key, 0);
    PostMessageW(window, WM_KEYUP, key, 0xC0000000);
  }
}

TEST(Win32View, MenusOpenTheFillUpDialogAndTheJournalAndSwitchTheOptions) {
  ForgetStoredSettings();
  Program program(g_program, L"");
  ASSERT_TRUE(program.Started());
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindDialog(MainDialogTemplate().title)); }, 30s));
  const auto opened = [](const DialogTemplate& model) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(model.title)) != nullptr; }, 20s);
    if (dialog) {
      for (const ControlTemplate& control : model.controls) {
        if (control.id != kNoControlId) EXPECT_NE(GetDlgItem(dialog, control.id), nullptr);
      }
    }
    return dialog;
  };

  // The context menu's second entry.
  PostMessageW(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main), MAKELPARAM(100, 100));
  PressKeys(main, {VK_DOWN, VK_DOWN, VK_RETURN});
  HWND fillUp = opened(FillUpDialogTemplate());
  ASSERT_NE(fillUp, nullptr);
  EXPECT_FALSE(
      TextOf(GetDlgItem(fillUp, FillUpDialogTemplate().IdOf(FillUpControl::Counted))).empty());
  Click(fillUp, FillUpDialogTemplate().IdOf(FillUpControl::Cancel));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(fillUp); }, 10s));

  // Up from the top wraps to the bottom: as many presses as the window added entries reach the
  // first of them, the journal.
  const auto added = std::ranges::count_if(MainContextMenu(), InSystemMenu);
  PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  for (int press = 0; press < added; ++press)
    PressKeys(main, {VK_UP});
  PressKeys(main, {VK_RETURN});
  HWND journal = opened(JournalWindowTemplate());
  ASSERT_NE(journal, nullptr);
  Click(journal, JournalWindowTemplate().IdOf(JournalControl::Close));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(journal); }, 10s));

  const int connectAtStart = MainMenuId(MainMenuItem::ConnectAtStart);
  const auto stored = [] { return LoadConnectAtStart(*MakeSystemUserStore()); };
  Click(main, connectAtStart);
  EXPECT_TRUE(WaitUntil(stored, 10s));
  Click(main, connectAtStart);
  EXPECT_TRUE(WaitUntil([&] { return !stored(); }, 10s));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(30s), 2);
}

// The dash's menu on a right click: night by hand turns the dash black, and night by the clock
// can be chosen again. Wine gives no other process the menu's handle, so its marks are looked
// at in scripts/windows-pictures' dash-menu.
TEST(Win32View, TheDashsMenuSwitchesToNightByHandAndBackToNightByTheClock) {
  ForgetStoredSettings();
  Program program(g_program, L"");
  ASSERT_TRUE(program.Started());
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindDialog(MainDialogTemplate().title)); }, 30s));
  PostMessageW(main, WM_COMMAND, MainMenuId(MainMenuItem::Dash), 0);
  HWND dash = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] { return (dash = FindWindowW(L"DrunvaleDash", nullptr)) && IsWindowVisible(dash); },
      20s));
  const auto stored = [] { return LoadDashLook(*MakeSystemUserStore()).mode; };
  const auto corner = [&] {
    HDC dc = GetDC(dash);
    const COLORREF colour = GetPixel(dc, 1, 1);
    ReleaseDC(dash, dc);
    return colour;
  };
  const auto openMenu = [&] {
    PostMessageW(dash, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dash), MAKELPARAM(100, 100));
  };

  openMenu();
  PressKeys(dash, {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_TRUE(WaitUntil([&] { return stored() == NightMode::Night; }, 10s));
  EXPECT_TRUE(WaitUntil([&] { return corner() == RGB(0, 0, 0); }, 10s));

  openMenu();
  PressKeys(dash, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_TRUE(WaitUntil([&] { return stored() == NightMode::ByClock; }, 10s));

  PostMessageW(dash, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dash); }, 10s));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(30s), 2);
}

// The rows in the journal of the prefix's user, %LOCALAPPDATA%\Tembrook\Drunvale\trips.csv.
// The system asks each top-level window whether the session may end, then tells it that it
// does; the process may be ended as soon as that answer comes.
void EndSession(HWND window) {
  DWORD_PTR agreed = 0;
  ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK,
                                  10000, &agreed));
  EXPECT_EQ(agreed, static_cast<DWORD_PTR>(TRUE));
  ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000,
                                  nullptr));
}

HWND SessionEndWindowOf(const Program& program) {
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, L"DrunvaleSessionEnd", nullptr));) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == program.ProcessId()) return window;
  }
  return nullptr;
}

// The demo keeps no journal, so what shows here is that the end of the session runs the
// program's own close (its result, 2 for the window) rather than the process being left to
// die; that the row goes before the link's goodbye is the controller's tests' to show.
TEST(Win32View, TheEndOfTheSessionClosesTheWindowAndTheConsoleTheirOwnWay) {
  Program window(g_program, L"--demo");
  ASSERT_TRUE(window.Started());
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindDialog(MainDialogTemplate().title)); }, 30s));
  HWND current = GetDlgItem(main, MainDialogTemplate().IdOf(MainControl::RatesCurrent));
  ASSERT_TRUE(WaitUntil([&] { return !TextOf(current).starts_with("- "); }, 20s));
  EndSession(main);
  EXPECT_EQ(window.ExitCode(30s), 2);

  Program console(g_program, L"--console --demo");
  ASSERT_TRUE(console.Started());
  HWND hidden = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (hidden = SessionEndWindowOf(console)); }, 30s));
  EndSession(hidden);
  EXPECT_EQ(console.ExitCode(30s), 0);
}

}  // namespace
}  // namespace drunvale

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: win32_view_tests Z:\\path\\to\\drunvale.exe\n");
    return 2;
  }
  drunvale::g_program = drunvale::driving::WindowsPath(argv[1]);
  return RUN_ALL_TESTS();
}
