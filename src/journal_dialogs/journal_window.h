// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <vector>

#include "journal/journal_summary.h"

namespace drunvale {

// What the journal window shows: the list's rows, newest first, a text for each totals column
// (a line per span, each ending in a space as the panel's values do), and the status line.
struct JournalWindowTexts {
  std::vector<std::vector<std::string>> rows;
  std::array<std::string, kTotalsColumns.size()> totals;
  std::string status;
};

// problem: why trips.csv could not be read ("" when it could); file: its path.
JournalWindowTexts MakeJournalWindowTexts(const JournalContents& journal, bool journalOn,
                                          const std::string& problem, const std::string& file);

}  // namespace drunvale
