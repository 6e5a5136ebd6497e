// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <vector>

#include "dash/dash_model.h"
#include "win32/dash_painter.h"

namespace drunvale::win32 {

// The full-screen dash as a plain GDI window over the dash's model. The parts the model says
// changed are drawn into a bitmap of the window's size, so the window never flickers; a paint
// only copies the bitmap. A right click opens the dash's menu.
class DashWindow {
 public:
  static constexpr const wchar_t* kClassName = L"DrunvaleDash";

  explicit DashWindow(DashSource source);
  ~DashWindow();
  DashWindow(const DashWindow&) = delete;
  DashWindow& operator=(const DashWindow&) = delete;

  // Full screen on the monitor of `over`, which owns it.
  void Open(HWND over);
  void Close();
  bool IsOpen() const { return window_ != nullptr && IsWindowVisible(window_); }
  // At each refresh of the display: draws the parts whose content changed.
  void Refresh();
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(int width, int height);
  void FreeBuffer();
  // Into the bitmap, and the window asked to show those parts.
  void Draw(const DashChanges& changes);
  void DrawTexts(const PixelBox& part, const std::vector<PlacedText>& texts);
  void ShowMenu(LPARAM where);
  // After a command: closed, or the look it set shown.
  void Follow(bool close);

  DashModel model_;
  DashFonts fonts_;
  HWND window_ = nullptr;
  HDC buffer_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace drunvale::win32
