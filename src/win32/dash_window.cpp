// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/dash_window.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dialogs/indicator_look.h"
#include "platform/windows/wide_text.h"
#include "program_version.h"
#include "trip/fixed_format.h"

namespace drunvale::win32 {
namespace {

constexpr UINT_PTR kClockTimerId = 1;
// The clock may bring night while nothing else changes.
constexpr UINT kClockCheckMs = 30000;
// The widest digits either unit shows in practice.
constexpr const wchar_t* kWidestDigits = L"88.8";
constexpr const wchar_t* kWidestUnit = L"л/100 км";

COLORREF C(Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

HFONT MakeFont(int pixels, bool bold) {
  return CreateFontW(-std::max(1, pixels), 0, 0, 0, bold ? kIndicatorWeight : FW_NORMAL, FALSE,
                     FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     WideFromUtf8(kIndicatorFace).c_str());
}

void Replace(HFONT& font, HFONT with) {
  if (font) DeleteObject(font);
  font = with;
}

int Width(HDC dc, HFONT font, const std::wstring& text) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  return size.cx;
}

void Fill(HDC dc, const RECT& r, Rgb colour) {
  SetBkColor(dc, C(colour));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Text(HDC dc, RECT r, const std::wstring& text, Rgb colour, UINT format) {
  SetTextColor(dc, C(colour));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            format | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

std::wstring Figure(float value) {
  std::string text;
  AppendFixed(text, value, value == std::floor(value) ? 0 : 1);
  return WideFromUtf8(text);
}

double ColumnOf(const RECT& plot, size_t seconds, size_t age) {
  const double step = static_cast<double>(plot.right - plot.left - 1) / (seconds - 1);
  return plot.right - 1 - static_cast<double>(age) * step;
}

HPEN GeometricPen(DWORD style, int width, Rgb colour) {
  LOGBRUSH brush{BS_SOLID, C(colour), 0};
  return ExtCreatePen(PS_GEOMETRIC | style | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                      static_cast<DWORD>(width), &brush, 0, nullptr);
}

}  // namespace

DashWindow::DashWindow(DashSource source) : source_(std::move(source)) {}

DashWindow::~DashWindow() {
  if (window_) DestroyWindow(window_);
  FreeBuffer();
  for (HFONT font : {digitFont_, unitFont_, figureFont_, labelFont_})
    if (font) DeleteObject(font);
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
    window_ = CreateWindowExW(0, kClassName, L"" DRUNVALE_TITLE " — приборная панель", WS_POPUP, 0,
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
      if (buffer_) {
        if (!drawn_) DrawAll();
        const RECT& r = paint.rcPaint;
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
      // Keys by their place, whatever the layout: N/Т and T/Е share a key on the Russian one.
      switch (wParam) {
        case VK_F11:
        case VK_ESCAPE:
          Close();
          return 0;
        case 'N': {
          DashLook look = look_;
          look.mode = night_ ? NightMode::Day : NightMode::Night;
          ChangeLook(look);
          return 0;
        }
        case 'T':
          ChangeLook(ToggleSpan(look_));
          return 0;
        case VK_OEM_PLUS:
        case VK_ADD:
          ChangeLook(StepBrightness(look_, +1));
          return 0;
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
          ChangeLook(StepBrightness(look_, -1));
          return 0;
        default:
          break;
      }
      break;
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

void DashWindow::LayOut(int w, int h) {
  if (w <= 0 || h <= 0) return;
  FreeBuffer();
  size_ = {w, h};
  HDC screen = GetDC(window_);
  buffer_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, w, h);
  oldBitmap_ = SelectObject(buffer_, bitmap_);
  ReleaseDC(window_, screen);
  SetBkMode(buffer_, TRANSPARENT);

  const int margin = std::max(6, h / 60);
  digitsRect_ = {margin, margin, w - margin, margin + h * 40 / 100};
  figuresRect_ = {margin, digitsRect_.bottom, w - margin, digitsRect_.bottom + h * 10 / 100};
  chartRect_ = {margin, figuresRect_.bottom + margin / 2, w - margin, h - margin};

  // Digits as tall as their part allows, unless the widest would then not fit beside the unit.
  const int digitsHeight = digitsRect_.bottom - digitsRect_.top;
  Replace(unitFont_, MakeFont(std::max(8, digitsHeight / 7), true));
  const int room =
      digitsRect_.right - digitsRect_.left - Width(buffer_, unitFont_, kWidestUnit) - margin;
  // For this face the digits stand about 0.72 of the em tall.
  int pixels = digitsHeight * 100 / 74;
  HFONT trial = MakeFont(pixels, true);
  const int width = Width(buffer_, trial, kWidestDigits);
  DeleteObject(trial);
  if (width > room) pixels = std::max(1, pixels * room / width);
  digitPixels_ = pixels;
  Replace(digitFont_, MakeFont(pixels, true));
  labelHeight_ = std::max(11, h / 40);
  Replace(labelFont_, MakeFont(labelHeight_, false));
  figurePixels_ = std::max<int>(11, (figuresRect_.bottom - figuresRect_.top) * 45 / 100);
  Replace(figureFont_, MakeFont(figurePixels_, true));
  drawn_ = false;
  chartKey_ = {};
}

DashColours DashWindow::ColoursNow() const {
  return night_ ? NightColours(dayDigits_, look_.brightness) : DayColours(dayDigits_);
}

void DashWindow::ChangeLook(const DashLook& look) {
  if (source_.setLook) source_.setLook(look);
  Refresh();
}

void DashWindow::Refresh() {
  if (!IsOpen() || !buffer_) return;
  const DashFrame frame = source_.frame ? source_.frame() : DashFrame{};
  const Rgb digits =
      source_.digitColour ? source_.digitColour() : IndicatorTextColour(frame.litresPerHour, false);
  const DashLook look = source_.look ? source_.look() : DashLook{};
  const bool night = source_.night ? source_.night() : false;

  const bool newPalette = night != night_ || (night && look.brightness != look_.brightness) ||
                          (night && digits != dayDigits_);
  const bool newDigits = frame.digits != frame_.digits ||
                         frame.litresPerHour != frame_.litresPerHour || digits != dayDigits_;
  const bool newFigures = !(frame.figures == frame_.figures);
  night_ = night;
  look_ = look;
  dayDigits_ = digits;
  frame_ = frame;

  ChartKey key;
  key.seconds = static_cast<size_t>(look_.spanMinutes) * 60;
  key.litresPerHour = frame.litresPerHour;
  if (source_.history) {
    key.revision = source_.history->Revision();
    scale_ = ScaleFor(*source_.history, key.seconds, frame.litresPerHour, frame.overLimit,
                      frame.average);
  }
  key.top = scale_.top;
  key.overLimit = scale_.overLimit;
  // The average moves the chart only when it moves by a pixel row.
  if (frame.average) {
    key.averageRow = RowOf(Plot(), *frame.average);
    key.averageTenths = std::lround(*frame.average * 10);
  }
  const bool newChart = !(key == chartKey_);
  chartKey_ = key;

  if (newPalette || !drawn_) {
    drawn_ = false;  // the next paint draws it all
    InvalidateRect(window_, nullptr, FALSE);
    return;
  }
  if (newDigits) {
    DrawDigits();
    InvalidateRect(window_, &digitsRect_, FALSE);
  }
  if (newFigures) {
    DrawFigures();
    InvalidateRect(window_, &figuresRect_, FALSE);
  }
  if (newChart) {
    DrawChart();
    InvalidateRect(window_, &chartRect_, FALSE);
  }
}

void DashWindow::DrawAll() {
  Fill(buffer_, {0, 0, size_.cx, size_.cy}, ColoursNow().background);
  DrawDigits();
  DrawFigures();
  DrawChart();
  drawn_ = true;
}

void DashWindow::DrawDigits() {
  const DashColours colours = ColoursNow();
  Fill(buffer_, digitsRect_, colours.background);
  const int height = digitsRect_.bottom - digitsRect_.top;
  const int baseline = digitsRect_.bottom - height / 20;
  SetTextAlign(buffer_, TA_BASELINE | TA_RIGHT);

  const std::wstring unit = WideFromUtf8(UnitName(frame_.litresPerHour));
  HGDIOBJ old = SelectObject(buffer_, unitFont_);
  SetTextColor(buffer_, C(colours.text));
  ExtTextOutW(buffer_, digitsRect_.right, baseline, 0, nullptr, unit.c_str(),
              static_cast<UINT>(unit.size()), nullptr);

  // Text wider than the widest expected ("8^0", a three-figure l/h) is narrowed to fit.
  const int room =
      digitsRect_.right - digitsRect_.left - Width(buffer_, unitFont_, kWidestUnit) - height / 20;
  const std::wstring digits = WideFromUtf8(frame_.digits);
  HFONT narrowed = nullptr;
  HFONT font = digitFont_;
  const int width = Width(buffer_, font, digits);
  if (width > room) font = narrowed = MakeFont(digitPixels_ * room / width, true);
  SelectObject(buffer_, font);
  SetTextColor(buffer_, C(colours.digits));
  ExtTextOutW(buffer_, digitsRect_.left + room, baseline, 0, nullptr, digits.c_str(),
              static_cast<UINT>(digits.size()), nullptr);
  SelectObject(buffer_, old);
  if (narrowed) DeleteObject(narrowed);
  SetTextAlign(buffer_, TA_TOP | TA_LEFT);
}

void DashWindow::DrawFigures() {
  const DashColours colours = ColoursNow();
  Fill(buffer_, figuresRect_, colours.background);
  const std::wstring texts[] = {
      WideFromUtf8(frame_.figures.average), WideFromUtf8(frame_.figures.distance),
      WideFromUtf8(frame_.figures.litres), WideFromUtf8(frame_.figures.money)};
  const int columns = 4;
  const int columnWidth = (figuresRect_.right - figuresRect_.left) / columns;
  int widest = 0;
  for (const std::wstring& text : texts)
    widest = std::max(widest, Width(buffer_, figureFont_, text));
  const int room = columnWidth * 92 / 100;
  HFONT narrowed = widest > room ? MakeFont(figurePixels_ * room / widest, true) : nullptr;
  HGDIOBJ old = SelectObject(buffer_, narrowed ? narrowed : figureFont_);
  for (int i = 0; i < columns; ++i) {
    const RECT cell{figuresRect_.left + i * columnWidth, figuresRect_.top,
                    figuresRect_.left + (i + 1) * columnWidth, figuresRect_.bottom};
    Text(buffer_, cell, texts[i], colours.text, DT_CENTER | DT_VCENTER);
  }
  SelectObject(buffer_, old);
  if (narrowed) DeleteObject(narrowed);
}

RECT DashWindow::Plot() const {
  // Room on the left for the scale's figures and below for the time marks.
  RECT plot = chartRect_;
  plot.left += labelHeight_ * 2;
  plot.top += labelHeight_ / 2;
  plot.bottom -= labelHeight_ * 3 / 2;
  return plot;
}

int DashWindow::RowOf(const RECT& plot, float value) const {
  const float clamped = std::clamp(value, 0.0f, scale_.top);
  return plot.bottom - 1 -
         static_cast<int>(std::lround(clamped / scale_.top * (plot.bottom - plot.top - 1)));
}

void DashWindow::DrawChart() {
  const DashColours colours = ColoursNow();
  const RECT plot = Plot();
  const size_t seconds = chartKey_.seconds;
  Fill(buffer_, chartRect_, colours.background);
  Fill(buffer_, plot, colours.chartBackground);
  HGDIOBJ oldFont = SelectObject(buffer_, labelFont_);
  const int lh = labelHeight_;

  // The band where the beeps follow the consumption, its colour moving from the Min level's
  // towards the Max level's as the value nears the limit; the Over band above it.
  const int limitRow = RowOf(plot, scale_.overLimit);
  if (scale_.overLimit > 0) {
    const int span = std::max<int>(1, plot.bottom - limitRow);
    for (int row = limitRow; row < plot.bottom; row += 2) {
      const double at = double(plot.bottom - row) / span;
      Fill(buffer_, {plot.left, row, plot.right, std::min<int>(row + 2, plot.bottom)},
           Mix(colours.minBand, colours.maxBand, at));
    }
  }
  Fill(buffer_, {plot.left, plot.top, plot.right, limitRow}, colours.overBand);
  const RECT labels{plot.left + lh / 4, plot.top, plot.right - lh / 4, plot.bottom};
  if (scale_.overLimit > 0) {
    Text(buffer_, {labels.left, limitRow, labels.right, plot.bottom}, L"Минимальный", colours.text,
         DT_RIGHT | DT_BOTTOM);
    Text(buffer_, {labels.left, limitRow, labels.right, limitRow + lh + lh / 4}, L"Максимальный",
         colours.text, DT_RIGHT | DT_TOP);
  }
  if (limitRow - plot.top >= lh) {
    Text(buffer_, {labels.left, limitRow - lh - lh / 4, labels.right, limitRow}, L"Запредельный",
         colours.text, DT_RIGHT | DT_BOTTOM);
  }

  // The scale and the time marks.
  HPEN grid = CreatePen(PS_SOLID, 1, C(colours.grid));
  HGDIOBJ oldPen = SelectObject(buffer_, grid);
  for (float value = 0; value <= scale_.top + scale_.gridStep / 2; value += scale_.gridStep) {
    const int row = RowOf(plot, value);
    MoveToEx(buffer_, plot.left, row, nullptr);
    LineTo(buffer_, plot.right, row);
    Text(buffer_, {chartRect_.left, row - lh, plot.left - lh / 3, row + lh}, Figure(value),
         colours.text, DT_RIGHT | DT_VCENTER);
  }
  const size_t markSeconds = seconds > 900 ? 600 : 300;
  for (size_t age = 0; age < seconds; age += markSeconds) {
    const int column = static_cast<int>(std::lround(ColumnOf(plot, seconds, age)));
    const std::wstring label = age == 0 ? L"сейчас" : L"−" + std::to_wstring(age / 60) + L" мин";
    const int width = Width(buffer_, labelFont_, label);
    const int left = std::clamp(column - width / 2, int(plot.left), int(plot.right) - width);
    Text(buffer_, {left, plot.bottom + 2, left + width, plot.bottom + 2 + lh + lh / 4}, label,
         colours.text, DT_LEFT | DT_TOP);
    MoveToEx(buffer_, column, plot.bottom, nullptr);
    LineTo(buffer_, column, plot.bottom + lh / 4);
  }
  SelectObject(buffer_, oldPen);
  DeleteObject(grid);

  if (source_.history) {
    const ConsumptionHistory& history = *source_.history;
    const size_t count = std::min(seconds, history.Size());
    // Jams, hatched so that the bands still show through.
    const double half = double(plot.right - plot.left) / (seconds - 1) / 2;
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, C(colours.jam));
    for (size_t age = 0; age < count;) {
      if (history.At(age).kind != PointKind::Jam) {
        ++age;
        continue;
      }
      const size_t newest = age;
      while (age < count && history.At(age).kind == PointKind::Jam)
        ++age;
      const RECT strip{
          std::max<LONG>(std::lround(ColumnOf(plot, seconds, age - 1) - half), plot.left), plot.top,
          std::min<LONG>(std::lround(ColumnOf(plot, seconds, newest) + half) + 1, plot.right),
          plot.bottom};
      FillRect(buffer_, &strip, hatch);
      if (Width(buffer_, labelFont_, L"пробка") < strip.right - strip.left) {
        Text(buffer_, {strip.left + 4, strip.top + 2, strip.right, strip.bottom}, L"пробка",
             colours.text, DT_LEFT | DT_TOP);
      }
    }
    DeleteObject(hatch);

    // The consumption, broken where there was no data; a lone second shows as a short dash.
    const int lineWidth = std::max(2, static_cast<int>(size_.cy) / 150);
    HPEN line = GeometricPen(PS_SOLID, lineWidth, colours.line);
    oldPen = SelectObject(buffer_, line);
    std::vector<POINT> run;
    const auto flush = [&] {
      if (run.size() == 1) run.push_back({run[0].x + 1, run[0].y});
      if (!run.empty()) Polyline(buffer_, run.data(), static_cast<int>(run.size()));
      run.clear();
    };
    for (size_t age = count; age-- > 0;) {
      const std::optional<float> value = PointValue(history.At(age), frame_.litresPerHour);
      if (!value) {
        flush();
        continue;
      }
      run.push_back({std::lround(ColumnOf(plot, seconds, age)), RowOf(plot, *value)});
    }
    flush();
    SelectObject(buffer_, oldPen);
    DeleteObject(line);

    if (frame_.average) {
      const int row = RowOf(plot, *frame_.average);
      HPEN dashed = GeometricPen(PS_DASH, std::max(1, lineWidth / 2), colours.average);
      oldPen = SelectObject(buffer_, dashed);
      MoveToEx(buffer_, plot.left, row, nullptr);
      LineTo(buffer_, plot.right, row);
      SelectObject(buffer_, oldPen);
      DeleteObject(dashed);
      Text(buffer_, {plot.left + lh / 4, row - lh - lh / 4, (plot.left + plot.right) / 2, row},
           L"среднее " + Figure(std::round(*frame_.average * 10) / 10), colours.average,
           DT_LEFT | DT_BOTTOM);
    }
  }
  SelectObject(buffer_, oldFont);
}

}  // namespace drunvale::win32
