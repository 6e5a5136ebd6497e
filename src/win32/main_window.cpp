// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/journal_source.h"
#include "app/main_controller.h"
#include "dialogs/main_menu.h"
#include "dialogs/status_line.h"
#include "platform/system_error.h"
#include "platform/windows/wide_text.h"
#include "win32/about_box.h"
#include "win32/engine_codes_window.h"
#include "win32/fill_up_window.h"
#include "win32/journal_window.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

// Posted to the window: run the tasks other threads have queued.
constexpr UINT kRunTasks = WM_APP + 1;
// Posted to the window: close what is open over it, then itself. wParam counts the passes.
constexpr UINT kCloseRequest = WM_APP + 2;
constexpr UINT_PTR kRefreshTimerId = 1;

// The window whose dialog loop the key filter serves; one per thread.
thread_local MainWindow* t_filtered = nullptr;

int Id(MainControl control) {
  return MainDialogTemplate().IdOf(control);
}

// An entry's text, its key after a tab as menus show it.
std::wstring MenuText(const MenuItemTemplate& entry) {
  std::string text(entry.text);
  if (!entry.key.empty()) text += "\t" + std::string(entry.key);
  return WideFromUtf8(text);
}

RECT ChildRect(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

MainWindow::MainWindow()
    : template_(MainDialogTemplate()), displayKeeper_(MakeSystemDisplayKeeper()) {}

MainWindow::~MainWindow() = default;

void MainWindow::Bind(MainController& controller, SettingsRunner runSettings) {
  controller_ = &controller;
  runSettings_ = std::move(runSettings);
  auto* c = controller_;
  DashSource dash;
  dash.frame = [c] { return c->DashNow(); };
  dash.history = &c->History();
  dash.digitColour = [c] { return c->IndicatorColour(); };
  dash.look = [c] { return c->Look(); };
  dash.setLook = [c](const DashLook& look) { c->SetLook(look); };
  dash.night = [c] { return c->NightNow(); };
  dash_ = std::make_unique<DashWindow>(std::move(dash));
}

bool MainWindow::Command(int id) {
  if (!controller_) return false;
  if (const auto control = MainDialogTemplate().ControlOfId(id)) {
    const bool beep = IsDlgButtonChecked(window_, Id(MainControl::Beep)) == BST_CHECKED;
    return PressMainButton(*control, beep, *controller_, *this);
  }
  if (const auto item = MainMenuItemOfId(id)) {
    ChooseMainMenuItem(*item, *controller_, *this);
    return true;
  }
  return false;
}

bool MainWindow::RunSettingsDialog() {
  if (!runSettings_ || !runSettings_(GetActiveWindow())) return false;
  UpdateWindow(window_);
  return true;
}

void MainWindow::OpenAbout() {
  RunAboutBox(GetActiveWindow());
}

void MainWindow::OpenJournal() {
  RunJournalWindow(window_, JournalSourceOf(controller_->Journal(), OpenWithShell));
}

void MainWindow::OpenFillUp() {
  auto* c = controller_;
  RunFillUpDialog(window_, c->FillUpTank(), c->FuelFactor(),
                  [c](const FillProposal& fill) { return c->RecordFill(fill); });
}

void MainWindow::OpenEngineCodes() {
  RunEngineCodesWindow(window_, controller_->EngineCodes());
}

void MainWindow::RunBegins(const std::string&, bool beep, bool dash) {
  SetBeepTicked(beep);
  // Once the window shows, as if chosen from its menu.
  if (dash) PostMessageW(window_, WM_COMMAND, MainMenuId(MainMenuItem::Dash), 0);
}

void MainWindow::ToggleDash() {
  if (!dash_) return;
  if (dash_->IsOpen()) {
    dash_->Close();
  } else {
    dash_->Open(window_);
  }
}

LRESULT CALLBACK MainWindow::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  MainWindow* self = t_filtered;
  // A menu entry's key, before the dialog manager takes it.
  if (code == MSGF_DIALOGBOX && self && self->controller_ && msg->message == WM_KEYDOWN &&
      msg->wParam >= VK_F1 && msg->wParam <= VK_F24 &&
      GetAncestor(msg->hwnd, GA_ROOT) == self->window_) {
    const std::string key = "F" + std::to_string(msg->wParam - VK_F1 + 1);
    if (const auto item = MainMenuItemOfKey(key)) {
      ChooseMainMenuItem(*item, *self->controller_, *self);
      return TRUE;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int MainWindow::Run(OpenHook onOpen, std::string& error) {
  onOpen_ = std::move(onOpen);
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), template_.Get(), GetActiveWindow(),
                              &MainWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (result == -1 || (result == 0 && !closeResult_)) {
    error = SystemErrorText(static_cast<int>(GetLastError()));
    return -1;
  }
  return static_cast<int>(result);
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainWindow*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    {
      std::lock_guard lock(self->tasksMutex_);
      self->window_ = window;
    }
    self->Open();
    return TRUE;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_DESTROY) {
    // Tasks posted from now on have no window to run in; the window is gone with the program.
    std::lock_guard lock(self->tasksMutex_);
    self->window_ = nullptr;
    if (self->keyFilter_) UnhookWindowsHookEx(self->keyFilter_);
    self->keyFilter_ = nullptr;
    t_filtered = nullptr;
    return FALSE;
  }
  return self->Handle(message, wParam, lParam);
}

void MainWindow::Open() {
  const auto& model = MainDialogTemplate();
  CentreOverOwner(window_, GetWindow(window_, GW_OWNER));
  HINSTANCE module = GetModuleHandleW(nullptr);
  const auto icon = [module](int sizeX, int sizeY) {
    return reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                               GetSystemMetrics(sizeX), GetSystemMetrics(sizeY),
                                               LR_DEFAULTCOLOR));
  };
  SendMessageW(window_, WM_SETICON, ICON_BIG, icon(SM_CXICON, SM_CYICON));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, icon(SM_CXSMICON, SM_CYSMICON));
  SetText(window_, model.title);
  AddToSystemMenu();
  SendDlgItemMessageW(window_, Id(MainControl::Volume), TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  statusBox_ = ChildRect(window_, Control(MainControl::Status));
  summaryBox_ = ChildRect(window_, Control(MainControl::Summary));
  auto* c = controller_;
  indicator_.Attach(
      Control(MainControl::Indicator), [c] { return c ? c->IndicatorText() : std::string(); },
      [c] { return c ? c->IndicatorColour() : IndicatorTextColour(true, false); });
  t_filtered = this;
  keyFilter_ =
      SetWindowsHookExW(WH_MSGFILTER, &MainWindow::KeyFilter, nullptr, GetCurrentThreadId());
  if (onOpen_) onOpen_();
  RunPostedTasks();
}

HWND MainWindow::Control(MainControl control) const {
  return GetDlgItem(window_, Id(control));
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      // Enter or Esc, which mean nothing to this window: Enter on a focused button presses it
      // through the dialog manager already, and the window closes only through its close box.
      if ((id == IDOK || id == IDCANCEL) && lParam == 0) return TRUE;
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      return Command(id) ? TRUE : FALSE;
    }
    case WM_CONTEXTMENU:
      ShowContextMenu(lParam);
      return TRUE;
    case WM_SYSCOMMAND: {
      // The system's own commands lie from 0xF000 up; below are the ones added to its menu.
      const auto id = static_cast<int>(wParam & 0xFFF0);
      if (id >= 0xF000 || !MainMenuItemOfId(id)) return FALSE;
      return Command(id) ? TRUE : FALSE;
    }
    case WM_TIMER:
      if (wParam == kRefreshTimerId && controller_) controller_->OnRefreshTimer();
      return TRUE;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control(MainControl::Volume) && controller_) {
        const auto position = SendMessageW(Control(MainControl::Volume), TBM_GETPOS, 0, 0);
        controller_->SetVolumeSliderPosition(static_cast<int>(position));
      }
      return TRUE;
    case kRunTasks:
      RunPostedTasks();
      return TRUE;
    case kCloseRequest:
      CloseModalsThenSelf(static_cast<int>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      indicator_.UpdateFont();
      indicator_.Invalidate();
      return FALSE;  // the dialog manager rescales the controls
    case WM_CLOSE:
      CloseOnce();
      return TRUE;
    case WM_ENDSESSION:
      // The system may end the process as soon as this returns: the trip is closed before. FALSE:
      // another program refused, and the session goes on.
      if (wParam) {
        endingSession_ = true;
        CloseOnce();
      }
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

void MainWindow::CloseOnce() {
  // Closing stops the link and the sound once; a second request while the first is finishing
  // only ends the window.
  if (!closeResult_) {
    closeResult_ = kMainWindowClosed;
    if (controller_) closeResult_ = controller_->Close();
  }
  EndDialog(window_, *closeResult_);
}

void MainWindow::ShowContextMenu(LPARAM where) {
  HMENU menu = CreatePopupMenu();
  for (const MenuItemTemplate& entry : MainContextMenu()) {
    if (entry.kind == MenuItemKind::Separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const bool ticked = entry.kind == MenuItemKind::Check && controller_ &&
                        controller_->MenuOptionOn(static_cast<MainMenuItem>(entry.item));
    AppendMenuW(menu, MF_STRING | (ticked ? MF_CHECKED : MF_UNCHECKED),
                static_cast<UINT_PTR>(entry.id), MenuText(entry).c_str());
  }
  POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (at.x == -1 && at.y == -1) {
    // From the keyboard: at the window's top left corner, inside it.
    at = {0, 0};
    ClientToScreen(window_, &at);
  }
  // The chosen entry comes back as WM_COMMAND, as a button's command would.
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_,
                 nullptr);
  DestroyMenu(menu);
}

void MainWindow::AddToSystemMenu() {
  HMENU system = GetSystemMenu(window_, FALSE);
  if (!system) return;
  AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
  for (const MenuItemTemplate& entry : MainContextMenu()) {
    if (InSystemMenu(entry)) {
      AppendMenuW(system, MF_STRING, static_cast<UINT_PTR>(entry.id), MenuText(entry).c_str());
    }
  }
}

void MainWindow::RequestClose() {
  PostMessageW(window_, kCloseRequest, 0, 0);
}

void MainWindow::CloseModalsThenSelf(int pass) {
  // A modal window's own loop runs inside this one's: it ends first. A few passes at most, in
  // case one will not close.
  HWND popup = GetLastActivePopup(window_);
  if (popup && popup != window_ && pass < 8) {
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageW(window_, kCloseRequest, static_cast<WPARAM>(pass + 1), 0);
    return;
  }
  PostMessageW(window_, WM_CLOSE, 0, 0);
}

void MainWindow::SetBeepTicked(bool on) {
  CheckDlgButton(window_, Id(MainControl::Beep), on ? BST_CHECKED : BST_UNCHECKED);
}

void MainWindow::SetColumn(PanelColumn column, const std::string& text) {
  SetText(Control(ControlOf(column)), text);
}

void MainWindow::SetStatusLine(const std::string& text) {
  linkStatus_ = text;
  ShowStatus();
  // Stop may block right after this text ("Отсоединяемся..."): it shows now, not after.
  UpdateWindow(Control(MainControl::Status));
}

void MainWindow::SetDataAge(std::optional<uint32_t> staleSeconds) {
  dataAge_ = staleSeconds;
  ShowStatus();
}

void MainWindow::ShowStatus() {
  status_ = StatusLineText(linkStatus_, dataAge_);
  SetText(Control(MainControl::Status), status_);
  FitStatusRow();
}

void MainWindow::KeepScreenOn(bool on) {
  if (on) {
    displayKeeper_->Hold();
  } else {
    displayKeeper_->Release();
  }
}

void MainWindow::SetSummaryLine(const std::string& text) {
  summaryText_ = text;
  FitStatusRow();
}

void MainWindow::SetCauseLine(const std::string& text) {
  cause_ = text;
  FitStatusRow();
}

void MainWindow::ShowClosingNotice(const std::string& text) {
  // A box would hold up a session that is ending; standard error has it then.
  if (endingSession_) return;
  MessageBoxW(window_, WideFromUtf8(text).c_str(), L"Drunvale", MB_OK | MB_ICONWARNING);
}

void MainWindow::FitStatusRow() {
  const bool cause = summaryText_.empty();
  const std::wstring text = WideFromUtf8(cause ? cause_ : summaryText_);
  const std::wstring status = WideFromUtf8(status_);
  HDC dc = GetDC(window_);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)));
  SIZE textSize{}, statusSize{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &textSize);
  GetTextExtentPoint32W(dc, status.c_str(), static_cast<int>(status.size()), &statusSize);
  SelectObject(dc, oldFont);
  ReleaseDC(window_, dc);
  const auto pixels = [](const RECT& r) {
    return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  const StatusRow row = drunvale::FitStatusRow(pixels(statusBox_), pixels(summaryBox_), status_,
                                               statusSize.cx, cause, textSize.cx);
  const LONG height = summaryBox_.bottom - summaryBox_.top;
  SetWindowPos(Control(MainControl::Summary), nullptr, row.summaryLeft, summaryBox_.top,
               row.summaryRight - row.summaryLeft, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(Control(MainControl::Status), nullptr, row.statusLeft, statusBox_.top,
               row.statusRight - row.statusLeft, height, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND summary = Control(MainControl::Summary);
  // A cause longer than the room left ends in an ellipsis.
  const LONG_PTR style = GetWindowLongPtrW(summary, GWL_STYLE);
  SetWindowLongPtrW(summary, GWL_STYLE, cause ? style | SS_ENDELLIPSIS : style & ~SS_ENDELLIPSIS);
  SetWindowTextW(summary, text.c_str());
  InvalidateRect(window_, &summaryBox_, TRUE);
}

void MainWindow::SetUnitCaption(const std::string& caption) {
  SetText(Control(MainControl::UnitCaption), caption);
}

void MainWindow::RepaintIndicator() {
  indicator_.Invalidate();
  if (dash_) dash_->Refresh();
}

void MainWindow::StartRefreshTimer() {
  SetTimer(window_, kRefreshTimerId, kRefreshPeriodMs, nullptr);
}

void MainWindow::StopRefreshTimer() {
  KillTimer(window_, kRefreshTimerId);
}

void MainWindow::PostToUiThread(std::function<void()> task) {
  HWND window;
  {
    std::lock_guard lock(tasksMutex_);
    tasks_.push_back(std::move(task));
    window = window_;
  }
  // Never waits for the window's thread; a window not yet open runs the task when it opens.
  if (window) PostMessageW(window, kRunTasks, 0, 0);
}

void MainWindow::RunPostedTasks() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(tasksMutex_);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks)
    task();
}

}  // namespace drunvale::win32
