// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/main_commands.h"
#include "app/main_view.h"
#include "dialogs/main_dialog_template.h"
#include "platform/display_keeper.h"
#include "win32/dash_window.h"
#include "win32/dialog_builder.h"
#include "win32/indicator_painter.h"

namespace drunvale {
class MainController;
}

namespace drunvale::win32 {

// The main window "Drunvale <version>" as a native dialog built from the model. A view only: each
// button, menu entry and key goes to the controller's commands, each text comes through
// MainView; the windows it opens are its own.
class MainWindow final : public MainView, public MainWindowOpener {
 public:
  static constexpr UINT kRefreshPeriodMs = 333;

  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs when the window has opened, before it shows: the controller's initialisation.
  using OpenHook = std::function<void()>;
  // Runs the settings dialog over its owner; true when the user saved.
  using SettingsRunner = std::function<bool(HWND owner)>;
  void Bind(MainController& controller, SettingsRunner runSettings);

  // Runs the window modally until it closes; its result (kMainWindowClosed), or -1 with
  // `error` when it could not be opened (no display).
  int Run(OpenHook onOpen, std::string& error);
  // From any thread: closes whatever modal window is open over this one, then this one, as
  // the close box would.
  void RequestClose();

  void SetBeepTicked(bool on);
  HWND Handle() const { return window_; }
  // F11 and the menu: the dash full screen on this window's monitor, or closed again.
  void ToggleDash() override;
  bool RunSettingsDialog() override;
  void OpenAbout() override;
  void OpenJournal() override;
  void OpenFillUp() override;
  void OpenEngineCodes() override;

  void SetColumn(PanelColumn column, const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetCauseLine(const std::string& text) override;
  void ShowClosingNotice(const std::string& text) override;
  void SetSummaryLine(const std::string& text) override;
  // Before the link's own text on the status line, while the figures are stale.
  void SetDataAge(std::optional<uint32_t> staleSeconds) override;
  void KeepScreenOn(bool on) override;
  void SetUnitCaption(const std::string& caption) override;
  void RepaintIndicator() override;
  void StartRefreshTimer() override;
  void StopRefreshTimer() override;
  void PostToUiThread(std::function<void()> task) override;
  void RunBegins(const std::string& port, bool beep, bool dash) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Open();
  void RunPostedTasks();
  void CloseModalsThenSelf(int pass);
  // The close box's path, and the end of the session's: the controller closes the trip once.
  void CloseOnce();
  HWND Control(MainControl control) const;
  void FitStatusRow();
  // The context menu from the model, its options ticked as the controller has them; `where`
  // is WM_CONTEXTMENU's point on the screen, (-1, -1) from the keyboard.
  void ShowContextMenu(LPARAM where);
  // The menu's commands below the system menu's own, after a line.
  void AddToSystemMenu();
  void ShowStatus();
  // A button's or a menu entry's command; false for an identifier that is neither.
  bool Command(int id);
  static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);

  InMemoryDialog template_;
  HWND window_ = nullptr;
  bool endingSession_ = false;
  MainController* controller_ = nullptr;
  OpenHook onOpen_;
  SettingsRunner runSettings_;
  IndicatorPainter indicator_;
  std::optional<int> closeResult_;

  std::mutex tasksMutex_;
  std::deque<std::function<void()>> tasks_;

  RECT statusBox_{};
  RECT summaryBox_{};
  std::string summaryText_;
  std::string cause_;
  std::string linkStatus_;
  std::optional<uint32_t> dataAge_;
  std::string status_;  // as shown: the data's age, then the link's text
  std::unique_ptr<DisplayKeeper> displayKeeper_;
  std::unique_ptr<DashWindow> dash_;
  HHOOK keyFilter_ = nullptr;  // F11 before the dialog manager takes the key
};

}  // namespace drunvale::win32
