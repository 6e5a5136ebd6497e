// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"

namespace drunvale {

// The main view as the controller's tests see it: every text it was given, kept.
class FakeView final : public MainView {
 public:
  void SetColumn(PanelColumn column, const std::string& text) override {
    columns[column] = text;
    ++columnWrites[column];
  }
  void SetStatusLine(const std::string& text) override { statuses.push_back(text); }
  void SetSummaryLine(const std::string& text) override { summary = text; }
  void SetCauseLine(const std::string& text) override { causes.push_back(text); }
  void SetDataAge(std::optional<uint32_t> seconds) override { ages.push_back(seconds); }
  void KeepScreenOn(bool on) override { screenKept = on; }
  void SetUnitCaption(const std::string& text) override { caption = text; }
  void RepaintIndicator() override { ++repaints; }
  void PanelRefreshed() override { ++fullRefreshes; }
  void StartRefreshTimer() override { timerRunning = true; }
  void StopRefreshTimer() override { timerRunning = false; }
  void PostToUiThread(std::function<void()> task) override { posted.push_back(std::move(task)); }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void ShowClosingNotice(const std::string& text) override { closingNotices.push_back(text); }

  std::map<PanelColumn, std::string> columns;
  std::map<PanelColumn, int> columnWrites;
  std::vector<std::string> statuses;
  std::vector<std::string> causes;
  std::vector<std::optional<uint32_t>> ages;
  bool screenKept = false;
  std::string summary = "unset";
  std::string caption;
  int repaints = 0;
  int fullRefreshes = 0;
  bool timerRunning = false;
  std::vector<std::function<void()>> posted;
  std::vector<std::string> notices;
  std::vector<std::string> closingNotices;
};

}  // namespace drunvale
