// SPDX-License-Identifier: GPL-3.0-or-later
// Opens each of drunvale.exe's windows in turn for scripts/windows-pictures: for each it says
// "SHOW <file name> <window title>" and waits for a line on its input, the picture taken.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "dash/dash_texts.h"
#include "dialogs/about_box_template.h"
#include "dialogs/engine_codes_window_template.h"
#include "dialogs/fill_up_dialog_template.h"
#include "dialogs/journal_window_template.h"
#include "dialogs/main_dialog_template.h"
#include "dialogs/main_menu.h"
#include "dialogs/settings_dialog_template.h"
#include "pictures/a_week_of_trips.h"
#include "win32/driving.h"

namespace drunvale {
namespace {

using namespace driving;

// The screen, for a window without a title of its own (a menu); after `what` is there.
bool ShowScreen(const char* fileName, const std::function<bool()>& what) {
  if (!WaitUntil(what, 30s)) {
    std::fprintf(stderr, "nothing to show for %s\n", fileName);
    return false;
  }
  std::this_thread::sleep_for(1000ms);
  std::printf("SCREEN %s\n", fileName);
  std::fflush(stdout);
  std::string taken;
  std::getline(std::cin, taken);
  return true;
}

HWND FindDash() {
  HWND window = FindWindowW(L"DrunvaleDash", nullptr);
  return window && IsWindowVisible(window) ? window : nullptr;
}

bool Show(const char* fileName, std::string_view title, bool dash = false,
          std::chrono::milliseconds settle = 1500ms) {
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = dash ? FindDash() : FindDialog(title)) != nullptr; },
                 30s)) {
    std::fprintf(stderr, "no window \"%.*s\"\n", static_cast<int>(title.size()), title.data());
    return false;
  }
  std::this_thread::sleep_for(settle);  // painted, and a few refreshes of the demo's figures
  std::printf("SHOW %s %.*s\n", fileName, static_cast<int>(title.size()), title.data());
  std::fflush(stdout);
  std::string taken;
  std::getline(std::cin, taken);
  return true;
}

// The journal window's week, in the user's journal of this Wine prefix.
void WriteAWeekOfTrips() {
  wchar_t local[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  const std::filesystem::path folder = std::filesystem::path(local) / L"Tembrook" / L"Drunvale";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / L"trips.csv", std::ios::binary | std::ios::trunc) << AWeekOfTrips();
}

int TakePictures(const std::wstring& program) {
  const auto& main = MainDialogTemplate();
  WriteAWeekOfTrips();
  Program drunvale(program, L"--demo");
  if (!drunvale.Started() || !Show("main-window", main.title)) return 1;
  HWND window = FindDialog(main.title);

  Click(window, main.IdOf(MainControl::About));
  if (!Show("about-box", AboutBoxTemplate().title)) return 1;
  Click(FindDialog(AboutBoxTemplate().title), AboutBoxTemplate().IdOf(AboutControl::Ok));

  // An option on, to show its tick; off again after.
  const int connectAtStart = MainMenuId(MainMenuItem::ConnectAtStart);
  Click(window, connectAtStart);
  PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(300, 250));
  const bool menuShown = ShowScreen("main-window-menu", [] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
  });
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
  Click(window, connectAtStart);
  if (!menuShown) return 1;

  const auto& journal = JournalWindowTemplate();
  PostMessageW(window, WM_SYSCOMMAND, MainMenuId(MainMenuItem::Journal), 0);
  if (!Show("journal-window", journal.title)) return 1;
  Click(FindDialog(journal.title), journal.IdOf(JournalControl::Close));

  const auto& fillUp = FillUpDialogTemplate();
  Click(window, MainMenuId(MainMenuItem::FillUp));
  if (!Show("fill-up-dialog", fillUp.title)) return 1;
  HWND dialog = FindDialog(fillUp.title);
  SendMessageW(GetDlgItem(dialog, fillUp.IdOf(FillUpControl::Pumped)), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"40,1"));
  if (!Show("fill-up-dialog-typed", fillUp.title)) return 1;
  Click(dialog, fillUp.IdOf(FillUpControl::Cancel));

  // The demo's codes, once the session has served the request.
  const auto& codes = EngineCodesWindowTemplate();
  Click(window, MainMenuId(MainMenuItem::EngineCodes));
  if (!Show("engine-codes", codes.title, false, 6s)) return 1;
  Click(FindDialog(codes.title), codes.IdOf(EngineCodesControl::Close));

  Click(window, main.IdOf(MainControl::Settings));
  const auto& settings = SettingsDialogTemplate();
  if (!Show("settings-dialog", settings.title)) return 1;
  Click(FindDialog(settings.title), settings.IdOf(SettingsControl::Cancel));

  // The dash, by day and by night, with some seconds of the demo on its chart.
  constexpr std::string_view kDash = dash_text::kTitle;
  PostMessageW(window, WM_COMMAND, MainMenuId(MainMenuItem::Dash), 0);
  if (!Show("dash-day", kDash, true, 12s)) return 1;
  PostMessageW(FindDash(), WM_KEYDOWN, 'N', 0);
  if (!Show("dash-night", kDash, true)) return 1;
  // Its menu, night by hand marked.
  PostMessageW(FindDash(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FindDash()),
               MAKELPARAM(200, 150));
  const bool dashMenuShown = ShowScreen("dash-menu", [] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
  });
  PostMessageW(FindDash(), WM_KEYDOWN, VK_ESCAPE, 0);
  if (!dashMenuShown) return 1;
  PostMessageW(FindDash(), WM_KEYDOWN, 'N', 0);
  PostMessageW(FindDash(), WM_KEYDOWN, VK_ESCAPE, 0);

  PostMessageW(window, WM_CLOSE, 0, 0);
  return drunvale.ExitCode(30s) == 2 ? 0 : 1;
}

}  // namespace
}  // namespace drunvale

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: win32_pictures PATH\\TO\\drunvale.exe\n");
    return 2;
  }
  return drunvale::TakePictures(drunvale::driving::WindowsPath(argv[1]));
}
