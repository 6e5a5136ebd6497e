// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/journal_summary.h"

namespace drunvale {

// What the journal window reads and changes, filled by whoever keeps the journal.
struct JournalWindowSource {
  // trips.csv as it is now; problem says why it could not be read ("" when it could).
  std::function<JournalContents(std::string& problem)> read;
  std::function<bool()> journalOn;
  // False when the switch could not be stored (it still holds for this run).
  std::function<bool(bool on)> setJournalOn;
  std::string folder;
  std::string file;
  // Opens a folder or a file as the desktop would; false when nothing could open it.
  std::function<bool(const std::string& path)> open;
};

// What the journal window shows: the list's rows, newest first, a text for each totals column
// (a line per span, each ending in a space as the panel's values do), and the status line.
struct JournalWindowTexts {
  std::vector<std::vector<std::string>> rows;
  std::array<std::string, kTotalsColumns.size()> totals;
  std::string status;
  bool fileOpenable = false;  // "Открыть файл": only when there is something in it
};

// problem: why trips.csv could not be read ("" when it could); file: its path.
JournalWindowTexts MakeJournalWindowTexts(const JournalContents& journal, bool journalOn,
                                          const std::string& problem, const std::string& file);

// The status line's texts when the switch could not be stored or a path would not open.
inline constexpr std::string_view kJournalSwitchNotStored =
    "Не удалось сохранить: действует до выхода из программы.";
std::string OpenFailedText(const std::string& path);

}  // namespace drunvale
