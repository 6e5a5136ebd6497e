// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/journal_rows.h"

namespace drunvale {

struct JournalTotals {
  int trips = 0;
  uint64_t timeMs = 0;
  double km = 0;
  double litres = 0;
  double money = 0;

  void Add(const TripRow& trip);
};

// What trips.csv holds, for the journal window and the console.
struct JournalContents {
  std::vector<TripRow> trips;  // newest first
  int damagedLines = 0;        // lines that are not rows (the header aside)
  JournalTotals today;         // trips begun on today's date
  JournalTotals tank;          // trips ended since the last fill-up (all of them before the first)
  JournalTotals all;
};

// tankSince: the last fill-up, seconds since 1970 UTC, 0 when none was recorded.
JournalContents SummariseJournal(std::string_view tripsCsv, const LocalTime& now,
                                 int64_t tankSince);

// The journal's list: one row per trip.
inline constexpr std::array<std::string_view, 7> kJournalColumns = {
    "начало", "время", "км", "л", "руб", "л/100 км", "конец"};
std::vector<std::string> TripCells(const TripRow& trip);

// The totals: one row per span, the spans' captions beside them.
inline constexpr std::array<std::string_view, 6> kTotalsColumns = {"поездок", "время", "км",
                                                                   "л",       "руб",   "л/100 км"};
inline constexpr std::array<std::string_view, 3> kTotalsSpans = {"сегодня", "этот бак", "всего"};
std::vector<std::string> TotalsCells(const JournalTotals& totals);

}  // namespace drunvale
