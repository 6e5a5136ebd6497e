// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/status_line.h"

namespace drunvale {

std::string NoDataText(uint32_t seconds) {
  return "Нет данных " + std::to_string(seconds) + " с";
}

std::string StatusLineText(const std::string& linkText, std::optional<uint32_t> staleSeconds) {
  if (!staleSeconds) return linkText;
  const std::string noData = NoDataText(*staleSeconds);
  return linkText.empty() ? noData : noData + " — " + linkText;  // U+2014
}

}  // namespace drunvale
