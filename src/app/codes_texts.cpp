// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/codes_texts.h"

namespace drunvale {

std::string ClearCodesQuestion() {
  return std::string(kClearCodesWarning) + " [y/N] ";
}

std::string LampText(const CodesReport& report) {
  if (!report.lampOn) return "";
  std::string text = *report.lampOn ? "Лампа неисправности горит" : "Лампа неисправности не горит";
  if (report.lampCount && *report.lampCount > 0) {
    text += " (кодов: " + std::to_string(*report.lampCount) + ")";
  }
  return text + ".";
}

std::string CodesText(const CodesReport& report) {
  std::string text = LampText(report);
  if (!text.empty()) text += "\n";
  if (report.codes.empty()) return text + "Кодов неисправностей нет.\n";
  for (const TroubleCode& code : report.codes) {
    text += CodeName(code.code) + "  " + std::string(CodeSystem(code.code));
    if (code.pending) text += "  (ожидающий подтверждения)";
    text += "\n";
  }
  return text;
}

std::string CodesOutcomeText(CodesReport::Outcome outcome) {
  switch (outcome) {
    case CodesReport::Outcome::Read:
      return "";
    case CodesReport::Outcome::Cleared:
      return "Коды неисправностей стёрты.";
    case CodesReport::Outcome::NotOffered:
      return "Блок не выдаёт коды неисправностей.";
    case CodesReport::Outcome::NotConfirmed:
      return "Блок не подтвердил стирание кодов.";
    case CodesReport::Outcome::Unreadable:
      break;
  }
  return "Ответ блока о кодах неисправностей не разобрать.";
}

std::vector<std::string> CodesReportLines(const CodesReport& report) {
  if (report.outcome != CodesReport::Outcome::Read) {
    return {"-- " + CodesOutcomeText(report.outcome)};
  }
  std::vector<std::string> lines{"-- коды неисправностей:"};
  const std::string text = CodesText(report);
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

}  // namespace drunvale
