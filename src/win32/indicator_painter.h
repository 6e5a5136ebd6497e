// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/indicator_colours.h"

namespace drunvale::win32 {

// Paints the consumption indicator into the static it is attached to, through an off-screen
// bitmap and never erasing the background, so the 333 ms refresh does not flicker. The text and
// its colour are asked for at each paint.
class IndicatorPainter {
 public:
  IndicatorPainter() = default;
  ~IndicatorPainter();
  IndicatorPainter(const IndicatorPainter&) = delete;
  IndicatorPainter& operator=(const IndicatorPainter&) = delete;

  void Attach(HWND control, std::function<std::string()> text, std::function<Rgb()> colour);
  // The font follows the monitor's DPI.
  void UpdateFont();
  void Invalidate() const;

 private:
  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  void Paint();
  int Scaled(int pixels) const;

  HWND control_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  std::function<std::string()> text_;
  std::function<Rgb()> colour_;
};

}  // namespace drunvale::win32
