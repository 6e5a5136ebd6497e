// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/status_line.h"

#include <algorithm>

namespace drunvale {

std::string NoDataText(uint32_t seconds) {
  return "Нет данных " + std::to_string(seconds) + " с";
}

std::string StatusLineText(const std::string& linkText, std::optional<uint32_t> staleSeconds) {
  if (!staleSeconds) return linkText;
  const std::string noData = NoDataText(*staleSeconds);
  return linkText.empty() ? noData : noData + " — " + linkText;  // U+2014
}

bool IsWaitingIndicator(const std::string& status) {
  constexpr std::string_view kArrow = "›";  // U+203A
  if (status.empty() || status.size() % kArrow.size() != 0) return false;
  for (size_t at = 0; at < status.size(); at += kArrow.size()) {
    if (status.compare(at, kArrow.size(), kArrow) != 0) return false;
  }
  return true;
}

StatusRow FitStatusRow(PixelRect statusBox, PixelRect summaryBox, const std::string& status,
                       int statusWidth, bool summaryEmpty, int rightTextWidth) {
  const int statusRight = statusBox.x + statusBox.width;
  const int summaryRight = summaryBox.x + summaryBox.width;
  const int gap = summaryBox.x - statusRight;
  const bool cause = summaryEmpty;
  const int statusEnd = statusBox.x + (cause && IsWaitingIndicator(status) ? 0 : statusWidth);
  const int wanted = summaryRight - rightTextWidth;
  const int left = std::min(std::max(wanted, statusEnd + gap), summaryBox.x);
  return {statusBox.x, std::min(statusRight, left - gap), left, summaryRight, cause};
}

}  // namespace drunvale
