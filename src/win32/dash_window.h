// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dash/chart_scale.h"
#include "dash/consumption_history.h"
#include "dash/dash_colours.h"
#include "dash/dash_figures.h"
#include "dash/dash_look.h"

namespace drunvale::win32 {

// Where the dash reads what it shows; filled from the controller. The history must outlive
// the dash.
struct DashSource {
  std::function<DashFrame()> frame;
  const ConsumptionHistory* history = nullptr;
  // The indicator's digit colour now, by its own rules (unit, stale data).
  std::function<Rgb()> digitColour;
  std::function<DashLook()> look;
  std::function<void(const DashLook&)> setLook;
  // Whether the night palette is in force now.
  std::function<bool()> night;
};

// The full-screen dash as a plain GDI window: the current consumption in the largest digits the
// screen allows, the trip's key figures, and the last 10 (or 30) minutes as a strip chart over
// the sound levels. Everything is drawn into a bitmap of the window's size, and only the parts
// whose content changed since the last refresh, so the window never flickers; a paint only
// copies the bitmap. F11 or Esc closes it, N switches night, + and − set its brightness, T the
// chart's span.
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
  struct ChartKey {
    uint64_t revision = 0;
    int averageRow = -1;
    long averageTenths = -1;  // as its label shows it
    float top = 0;
    float overLimit = 0;
    size_t seconds = 0;
    bool litresPerHour = true;
    bool operator==(const ChartKey&) const = default;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void LayOut(int width, int height);
  void FreeBuffer();
  DashColours ColoursNow() const;
  void ChangeLook(const DashLook& look);
  void DrawAll();
  void DrawDigits();
  void DrawFigures();
  void DrawChart();
  RECT Plot() const;
  int RowOf(const RECT& plot, float value) const;

  DashSource source_;
  HWND window_ = nullptr;
  HDC buffer_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  SIZE size_{};
  RECT digitsRect_{};
  RECT figuresRect_{};
  RECT chartRect_{};
  HFONT digitFont_ = nullptr;
  HFONT unitFont_ = nullptr;
  HFONT figureFont_ = nullptr;
  HFONT labelFont_ = nullptr;
  int digitPixels_ = 1;
  int figurePixels_ = 1;
  int labelHeight_ = 12;

  DashFrame frame_;
  Rgb dayDigits_;
  DashLook look_;
  bool night_ = false;
  ChartScale scale_;
  ChartKey chartKey_;
  bool drawn_ = false;  // the bitmap holds a whole picture
};

}  // namespace drunvale::win32
