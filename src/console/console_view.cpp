// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_view.h"

#include "console/text_table.h"
#include "dialogs/status_line.h"
#include "platform/console_text.h"
#include "program_version.h"
#include "trip/panel_captions.h"

namespace drunvale {
namespace {

std::string S(std::string_view text) {
  return std::string(text);
}

}  // namespace

void ConsoleView::PrintLine(const std::string& line) {
  WriteText(out_, line + "\n");
}

void ConsoleView::Echo(const std::string& text) {
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
}

void ConsoleView::SetColumn(PanelColumn column, const std::string& text) {
  columns_[column] = text;
}

void ConsoleView::SetStatusLine(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  // The identification line ends with CR LF of its own; one line break is enough here.
  std::string shown = text;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
    shown.pop_back();
  PrintLine("status: " + shown);
}

void ConsoleView::SetCauseLine(const std::string& text) {
  // On the line after the status it explains, so a console log says why a port would not open;
  // it repeats with every attempt, as that status does. Clearing it prints nothing.
  if (!text.empty()) PrintLine("status: " + text);
}

void ConsoleView::SetDataAge(std::optional<uint32_t> staleSeconds) {
  // Said once when the figures go stale; the line under the tables counts on.
  if (staleSeconds && !dataAge_) PrintLine("status: " + NoDataText(*staleSeconds));
  dataAge_ = staleSeconds;
}

void ConsoleView::SetUnitCaption(const std::string& caption) {
  unitCaption_ = caption;
}

void ConsoleView::StartRefreshTimer() {
  loop_.StartTimer(333, [this] {
    if (onTimer) onTimer();
  });
}

void ConsoleView::RunBegins(const std::string& port, bool beep, bool) {
  PrintLine(DRUNVALE_TITLE ": " + port + (beep ? ", пикать" : "") +
            " (r: обнулить, u: л/ч или л/100, b: пикать, j: журнал, f: заправка, "
            "Ctrl+C: выход)");
}

void ConsoleView::PanelRefreshed() {
  if (holdTables_) return;
  auto column = [this](PanelColumn id) { return columns_[id]; };
  PrintLine("");
  for (const auto& line :
       LayOutTable({S(kTotalsTitle), S(kColumnEverywhere), S(kColumnInJam), S(kColumnOutsideJam)},
                   S(kTotalsRowCaptions),
                   {column(PanelColumn::TotalsAll), column(PanelColumn::TotalsInJam),
                    column(PanelColumn::TotalsOutsideJam)})) {
    PrintLine(line);
  }
  for (const auto& line :
       LayOutTable({S(kRatesTitle), S(kColumnEverywhere), S(kColumnInJam), S(kColumnOutsideJam),
                    S(kColumnMaximum), S(kColumnCurrent)},
                   S(kRatesRowCaptions),
                   {column(PanelColumn::RatesAll), column(PanelColumn::RatesInJam),
                    column(PanelColumn::RatesOutsideJam), column(PanelColumn::RatesMaximum),
                    column(PanelColumn::RatesCurrent)})) {
    PrintLine(line);
  }
  std::string indicator = indicatorText ? indicatorText() : "";
  std::string unit = unitCaption_.find("л/100") != std::string::npos ? "л/100 км" : "л/ч";
  const std::string age = dataAge_ ? " — " + NoDataText(*dataAge_) : "";
  PrintLine("сейчас: " + indicator + " " + unit + age + "    " + summary_);
  if (sparkline) PrintLine(sparkline());
}

}  // namespace drunvale
