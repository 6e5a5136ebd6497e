// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/indicator_painter.h"

#include <commctrl.h>

#include "dialogs/dialog_units.h"
#include "dialogs/indicator_colours.h"
#include "dialogs/indicator_look.h"
#include "platform/windows/wide_text.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

COLORREF Colour(Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

IndicatorPainter::~IndicatorPainter() {
  if (control_) RemoveWindowSubclass(control_, &IndicatorPainter::Subclass, 1);
  if (font_) DeleteObject(font_);
}

void IndicatorPainter::Attach(HWND control, std::function<std::string()> text,
                              std::function<Rgb()> colour) {
  control_ = control;
  text_ = std::move(text);
  colour_ = std::move(colour);
  UpdateFont();
  SetWindowSubclass(control_, &IndicatorPainter::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

void IndicatorPainter::UpdateFont() {
  dpi_ = DpiOf(control_);
  if (font_) DeleteObject(font_);
  font_ =
      CreateFontW(-Scaled(kIndicatorCharacterHeight), 0, 0, 0, kIndicatorWeight, FALSE, FALSE,
                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, WideFromUtf8(kIndicatorFace).c_str());
}

int IndicatorPainter::Scaled(int pixels) const {
  return MulDiv(pixels, dpi_, 96);
}

void IndicatorPainter::Invalidate() const {
  if (control_) InvalidateRect(control_, nullptr, TRUE);
}

LRESULT CALLBACK IndicatorPainter::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole client area
    case WM_PAINT:
      reinterpret_cast<IndicatorPainter*>(self)->Paint();
      return 0;
    default:
      return DefSubclassProc(window, message, wParam, lParam);
  }
}

void IndicatorPainter::Paint() {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(control_, &paint);
  RECT client{};
  GetClientRect(control_, &client);
  const int width = client.right;
  const int height = client.bottom;
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

  SetBkColor(dc, Colour(kIndicatorBackground));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

  const std::wstring text = WideFromUtf8(text_ ? text_() : std::string());
  HGDIOBJ oldFont = SelectObject(dc, font_);
  SetTextColor(dc, Colour(colour_ ? colour_() : IndicatorTextColour(true, false)));
  SetBkMode(dc, TRANSPARENT);
  // The text cell begins above the client area; only its lower part shows.
  RECT cell = client;
  cell.top -= Scaled(kIndicatorTextLift);
  cell.right -= Scaled(kIndicatorRightMargin);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_RIGHT | DT_NOPREFIX);
  SelectObject(dc, oldFont);

  BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(control_, &paint);
}

}  // namespace drunvale::win32
