// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_summary.h"

#include <algorithm>

#include "journal/csv.h"
#include "journal/local_time_text.h"
#include "trip/fixed_format.h"
#include "trip/panel_texts.h"

namespace drunvale {
namespace {

std::string Fixed(double value) {
  std::string text;
  AppendFixed(text, value, 2);
  return text;
}

// Litres per 100 km, or an em dash when nothing was driven, as the panel shows a standing car.
std::string Per100(double litres, double km) {
  return km >= 0.01 ? Fixed(litres * 100.0 / km) : "—";
}

}  // namespace

void JournalTotals::Add(const TripRow& trip) {
  ++trips;
  timeMs += trip.timeMs;
  km += trip.km;
  litres += trip.litres;
  money += trip.money;
}

JournalContents SummariseJournal(std::string_view tripsCsv, const LocalTime& now,
                                 int64_t tankSince) {
  JournalContents contents;
  const char separator = FormOfFile(tripsCsv, kTripNumberAt, {}).listSeparator;
  const std::string header = TripsHeader(separator).substr(kUtf8Bom.size());
  const std::string today = LocalDate(now);
  for (std::string_view line : SplitLines(tripsCsv)) {
    if (line.empty() || line == header) continue;
    const auto trip = ParseTripRow(line, separator);
    if (!trip) {
      ++contents.damagedLines;
      continue;
    }
    contents.all.Add(*trip);
    if (LocalDate(trip->startTime) == today) contents.today.Add(*trip);
    if (trip->endTime.unixSeconds >= tankSince) contents.tank.Add(*trip);
    contents.trips.push_back(*trip);
  }
  // Rows are appended as trips end; one kept back by a busy file may come later than it ended.
  std::stable_sort(contents.trips.begin(), contents.trips.end(),
                   [](const TripRow& a, const TripRow& b) {
                     return a.startTime.unixSeconds > b.startTime.unixSeconds;
                   });
  return contents;
}

std::vector<std::string> TripCells(const TripRow& trip) {
  // "2024-05-01 08:15": the start as written, to the minute.
  const std::string start =
      trip.start.size() >= 16 ? trip.start.substr(0, 10) + " " + trip.start.substr(11, 5) : "";
  return {start,
          FormatEngineTime(trip.timeMs),
          Fixed(trip.km),
          Fixed(trip.litres),
          Fixed(trip.money),
          Per100(trip.litres, trip.km),
          trip.how};
}

std::vector<std::string> TotalsCells(const JournalTotals& totals) {
  return {std::to_string(totals.trips),
          FormatEngineTime(totals.timeMs),
          Fixed(totals.km),
          Fixed(totals.litres),
          Fixed(totals.money),
          Per100(totals.litres, totals.km)};
}

}  // namespace drunvale
