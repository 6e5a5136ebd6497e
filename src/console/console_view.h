// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "app/main_view.h"
#include "console/console_loop.h"

namespace drunvale {

// The meter in a terminal: every change of the status line is printed as it comes, and at
// every full refresh both tables and the summary line. Each line is flushed at once, also
// into a pipe or a file.
class ConsoleView final : public MainView {
 public:
  ConsoleView(ConsoleLoop& loop, std::FILE* out) : loop_(loop), out_(out) {}

  void SetColumn(PanelColumn column, const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetCauseLine(const std::string& text) override;
  void SetSummaryLine(const std::string& text) override { summary_ = text; }
  void SetDataAge(std::optional<uint32_t> staleSeconds) override;
  // A terminal has no screen saver of ours to hold off; the windows do that.
  void KeepScreenOn(bool) override {}
  void SetUnitCaption(const std::string& caption) override;
  void RepaintIndicator() override {}
  // The run's first line: the port, whether it beeps, the keys.
  void RunBegins(const std::string& port, bool beep, bool dash) override;
  void PanelRefreshed() override;
  void StartRefreshTimer() override;
  void StopRefreshTimer() override { loop_.StopTimer(); }
  void PostToUiThread(std::function<void()> task) override { loop_.Post(std::move(task)); }

  // Set by the owner: called at every tick of the refresh timer.
  std::function<void()> onTimer;
  // Set by the owner: the indicator's text, printed with the tables.
  std::function<std::string()> indicatorText;
  // Set by the owner: the last minutes of consumption as one line, printed under the tables.
  std::function<std::string()> sparkline;

  void PrintLine(const std::string& line);
  // As typed into a prompt: no line break, flushed at once.
  void Echo(const std::string& text);
  // While a prompt waits for its answer, the tables are not printed over it.
  void HoldTables(bool hold) { holdTables_ = hold; }
  void ShowNotice(const std::string& text) override { PrintLine("-- " + text); }
  // Closing writes it to standard error, which the terminal shows already.
  void ShowClosingNotice(const std::string&) override {}

 private:
  ConsoleLoop& loop_;
  std::FILE* out_;
  std::map<PanelColumn, std::string> columns_;
  std::string status_;
  std::string summary_;
  std::string unitCaption_;
  bool holdTables_ = false;
  std::optional<uint32_t> dataAge_;
};

}  // namespace drunvale
