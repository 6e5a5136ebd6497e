// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/journal_text.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "console/text_table.h"
#include "journal/journal_rows.h"
#include "journal/journal_store.h"
#include "journal/journal_writer.h"
#include "platform/console_text.h"
#include "platform/data_folder.h"
#include "platform/exit_codes.h"
#include "platform/user_store.h"
#include "platform/wall_clock.h"

namespace drunvale {

std::vector<std::string> JournalLines(const JournalContents& journal, size_t lastTrips,
                                      bool everySpan) {
  std::vector<std::string> lines;
  const size_t shown =
      lastTrips == 0 ? journal.trips.size() : std::min(lastTrips, journal.trips.size());
  if (shown > 0) {
    std::vector<std::string> columns(kJournalColumns.size());
    // Newest last, nearest the prompt.
    for (size_t i = shown; i-- > 0;) {
      const std::vector<std::string> cells = TripCells(journal.trips[i]);
      for (size_t column = 0; column < cells.size(); ++column)
        columns[column] += cells[column] + "\n";
    }
    const std::vector<std::string> headers(kJournalColumns.begin(), kJournalColumns.end());
    const std::vector<std::string> values(columns.begin() + 1, columns.end());
    lines = LayOutTable(headers, columns[0], values);
  }
  std::vector<std::string> headers = {"итого"};
  headers.insert(headers.end(), kTotalsColumns.begin(), kTotalsColumns.end());
  std::vector<std::string> columns(kTotalsColumns.size());
  std::string captions;
  const JournalTotals* spans[] = {&journal.today, &journal.tank, &journal.all};
  for (size_t span = 0; span < (everySpan ? 3u : 1u); ++span) {
    captions += std::string(kTotalsSpans[span]) + "\n";
    const std::vector<std::string> cells = TotalsCells(*spans[span]);
    for (size_t column = 0; column < cells.size(); ++column)
      columns[column] += cells[column] + "\n";
  }
  for (const std::string& line : LayOutTable(headers, captions, columns))
    lines.push_back(line);
  return lines;
}

int PrintJournal(std::FILE* out, std::FILE* errors) {
  const auto folder = OpenUserDataFolder();
  const auto store = MakeSystemUserStore();
  std::string text;
  const FileResult read = folder->Read(kTripsFile, text);
  if (!read.Ok() && read.status != FileResult::Status::NotFound) {
    WriteText(errors, "drunvale: " + folder->PathOf(kTripsFile) + ": " +
                          JournalProblemCause(read, kTripsFile, folder->Path()) + "\n");
    return kExitIoError;
  }
  const JournalContents journal =
      SummariseJournal(text, SystemWallClock().Now(), LoadTank(*store).since);
  std::string printed = "Журнал поездок: " + folder->PathOf(kTripsFile) + "\n";
  if (journal.damagedLines > 0) {
    printed += "Строк не прочитано (повреждены): " + std::to_string(journal.damagedLines) + ".\n";
  }
  for (const std::string& line : JournalLines(journal, 0, true))
    printed += line + "\n";
  WriteText(out, printed);
  return kExitOk;
}

}  // namespace drunvale
