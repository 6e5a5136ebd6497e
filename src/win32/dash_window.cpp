// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/dash_window.h"

#include <windowsx.h>

#include <optional>

#include "dash/dash_texts.h"
#include "platform/windows/wide_text.h"

namespace drunvale::win32 {
namespace {

constexpr UINT_PTR kClockTimerId = 1;
// The clock may bring night while nothing else changes.
constexpr UINT kClockCheckMs = 30000;

// Keys by their place, whatever the layout: N/Т and T/Е share a key on the Russian one.
std::optional<DashCommand> CommandOf(WPARAM key) {
  switch (key) {
    case VK_F11:
    case VK_ESCAPE:
      return DashCommand::Close;
    case 'N':
      return DashCommand::Night;
    case 'T':
      return DashCommand::Span;
    case VK_OEM_PLUS:
    case VK_ADD:
      return DashCommand::Brighter;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
      return DashCommand::Dimmer;
    default:
      return std::nullopt;
  }
}

RECT ToRect(const PixelBox& box) {
  return {box.left, box.top, box.right, box.bottom};
}

void AddEntry(HMENU menu, const ShownMenuEntry& entry);

HMENU MakeMenu(const std::vector<ShownMenuEntry>& entries) {
  HMENU menu = CreatePopupMenu();
  for (const ShownMenuEntry& entry : entries)
    AddEntry(menu, entry);
  return menu;
}

void AddEntry(HMENU menu, const ShownMenuEntry& entry) {
  const std::wstring text =
      WideFromUtf8(entry.key.empty() ? entry.text : entry.text + "\t" + entry.key);
  switch (entry.kind) {
    case MenuItemKind::Separator:
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      return;
    case MenuItemKind::Submenu:
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(MakeMenu(entry.submenu)),
                  text.c_str());
      return;
    default:
      break;
  }
  std::wstring shown = text;
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
  item.fType = MFT_STRING | (entry.kind == MenuItemKind::Radio ? MFT_RADIOCHECK : 0);
  item.fState = entry.marked ? MFS_CHECKED : MFS_UNCHECKED;
  item.wID = static_cast<UINT>(entry.id);
  item.dwTypeData = shown.data();
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

}  // namespace

DashWindow::DashWindow(DashSource source) : model_(std::move(source)) {}

DashWindow::~DashWindow() {
  if (window_) DestroyWindow(window_);
  FreeBuffer();
}

void DashWindow::Open(HWND over) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (!window_) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &DashWindow::WindowProc;
    type.hInstance = module;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = kClassName;
    RegisterClassExW(&type);  // fails harmlessly once registered
    window_ = CreateWindowExW(0, kClassName, WideFromUtf8(dash_text::kTitle).c_str(), WS_POPUP, 0,
                              0, 1, 1, over, nullptr, module, this);
    if (!window_) return;
    SetTimer(window_, kClockTimerId, kClockCheckMs, nullptr);
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(over, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& r = monitor.rcMonitor;
  SetWindowPos(window_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_SHOWWINDOW);
  SetForegroundWindow(window_);
  SetFocus(window_);
  Refresh();
}

void DashWindow::Close() {
  if (!window_) return;
  HWND owner = GetWindow(window_, GW_OWNER);
  ShowWindow(window_, SW_HIDE);
  if (owner) SetForegroundWindow(owner);
}

LRESULT CALLBACK DashWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<DashWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT DashWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      LayOut(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything asked of it
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC screen = BeginPaint(window_, &paint);
      const RECT& r = paint.rcPaint;
      if (buffer_) {
        BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_, r.left, r.top,
               SRCCOPY);
      }
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_TIMER:
      Refresh();
      return 0;
    case WM_KEYDOWN:
      if (const std::optional<DashCommand> command = CommandOf(wParam)) {
        Follow(model_.Do(*command));
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      ShowMenu(lParam);
      return 0;
    case WM_CLOSE:
      Close();  // Alt+F4 hides it; the main window owns it to the end
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void DashWindow::FreeBuffer() {
  if (!buffer_) return;
  SelectObject(buffer_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(buffer_);
  buffer_ = nullptr;
  bitmap_ = nullptr;
}

void DashWindow::LayOut(int width, int height) {
  if (width <= 0 || height <= 0) return;
  FreeBuffer();
  fonts_.Clear();
  HDC screen = GetDC(window_);
  buffer_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  oldBitmap_ = SelectObject(buffer_, bitmap_);
  ReleaseDC(window_, screen);
  SetBkMode(buffer_, TRANSPARENT);
  model_.Resize(width, height, [this](DashFont font, int pixels, std::string_view text) {
    return fonts_.Width(buffer_, font, pixels, text);
  });
  Draw(model_.Refresh());
}

void DashWindow::Refresh() {
  if (IsOpen() && buffer_) Draw(model_.Refresh());
}

void DashWindow::Draw(const DashChanges& changes) {
  const DashLayout& layout = model_.Layout();
  if (changes.palette) Fill(buffer_, layout.window, model_.Colours().background);
  if (changes.palette || changes.digits) DrawTexts(layout.digits, model_.Digits());
  if (changes.palette || changes.figures) DrawTexts(layout.figures, model_.Figures());
  if (changes.palette || changes.chart) {
    PaintBackdrop(buffer_, model_.Backdrop(), fonts_);
    PaintData(buffer_, model_.Data(), layout.plot, fonts_);
  }
  if (changes.palette) {
    InvalidateRect(window_, nullptr, FALSE);
    return;
  }
  for (const auto& [changed, part] :
       {std::pair{changes.digits, layout.digits}, std::pair{changes.figures, layout.figures},
        std::pair{changes.chart, layout.chart}}) {
    const RECT r = ToRect(part);
    if (changed) InvalidateRect(window_, &r, FALSE);
  }
}

void DashWindow::DrawTexts(const PixelBox& part, const std::vector<PlacedText>& texts) {
  Fill(buffer_, part, model_.Colours().background);
  for (const PlacedText& text : texts)
    PaintText(buffer_, text, fonts_);
}

void DashWindow::ShowMenu(LPARAM where) {
  POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (at.x == -1 && at.y == -1) at = {0, 0};  // from the keyboard: the screen's corner
  HMENU menu = MakeMenu(model_.Menu());
  const int id = TrackPopupMenu(
      menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
      at.y, 0, window_, nullptr);
  DestroyMenu(menu);  // its submenus with it
  if (id != 0) Follow(model_.ChooseFromMenu(id));
}

void DashWindow::Follow(bool close) {
  if (close) {
    Close();
  } else {
    Refresh();
  }
}

}  // namespace drunvale::win32
