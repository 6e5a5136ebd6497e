// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal_dialogs/journal_window.h"

namespace drunvale {

JournalWindowTexts MakeJournalWindowTexts(const JournalContents& journal, bool journalOn,
                                          const std::string& problem, const std::string& file) {
  JournalWindowTexts texts;
  for (const TripRow& trip : journal.trips)
    texts.rows.push_back(TripCells(trip));
  for (const JournalTotals* span : {&journal.today, &journal.tank, &journal.all}) {
    const std::vector<std::string> cells = TotalsCells(*span);
    for (size_t column = 0; column < texts.totals.size(); ++column) {
      std::string& text = texts.totals[column];
      if (!text.empty()) text += '\n';
      text += cells[column] + " ";
    }
  }
  if (!problem.empty()) {
    texts.status = problem;
  } else if (!journalOn) {
    texts.status = "Журнал выключен: новые поездки не записываются.";
  } else if (journal.damagedLines > 0) {
    texts.status = "Строк не прочитано (повреждены): " + std::to_string(journal.damagedLines) + ".";
  } else if (journal.trips.empty()) {
    texts.status = "Поездок в журнале пока нет.";
  } else {
    texts.status = file;
  }
  texts.fileOpenable = !journal.trips.empty() || journal.damagedLines > 0;
  return texts;
}

std::string OpenFailedText(const std::string& path) {
  return "Не удалось открыть " + (path.empty() ? std::string("папку журнала") : path) + ".";
}

}  // namespace drunvale
