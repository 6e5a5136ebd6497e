// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "journal/fill_up.h"
#include "platform/wall_clock.h"
#include "trip/trip_figures.h"

namespace drunvale {

// The two files of the journal, in the user's data folder. Each is UTF-8 with a byte-order
// mark, one header line, one row per line, appended to and never rewritten. Rows are made with
// ',' between fields and '.' in numbers; a file takes them in its own form (csv.h, RowInForm).
inline constexpr std::string_view kTripsFile = "trips.csv";
inline constexpr std::string_view kFillsFile = "fills.csv";
// How many leading fields of each file's rows are figures, and one that always holds a
// decimal number.
inline constexpr size_t kTripNumberFields = 25;
inline constexpr size_t kTripNumberAt = 6;
inline constexpr size_t kFillNumberFields = 5;
inline constexpr size_t kFillNumberAt = 1;

// How a trip ended: by "Обнулить", by closing the program, or it was found at the next start,
// left behind by a power cut or a crash.
enum class TripEnd { Reset, Closed, PowerLost };

// One ended trip as the panel showed it at its end.
struct TripRecord {
  LocalTime start;
  LocalTime end;
  TripEnd how = TripEnd::Reset;
  TripFigures everywhere;
  TripFigures inJam;
  TripFigures outsideJam;
  float fuelPrice = 0;
  uint32_t factor = 0;  // parts per ten thousand
  std::string port;
  std::string controlUnit;  // the identification line, as the status line showed it
};

// trips.csv: start and end (ISO 8601 local time with offset), how it ended, then engine time,
// km, litres, kg of air and roubles each everywhere / in jams / outside jams, the averages of
// the whole trip (km/h, kg/h, l/h, roubles/h, l/100 km, roubles/100 km; empty where the panel
// shows dashes), the fuel factor, the port and the control unit. Figures as the panel prints
// them: engine time h:mm:ss, the rest with two decimals; the factor with four.
std::string TripsHeader(char separator = ',');  // with the byte-order mark
std::string FormatTripRow(const TripRecord& trip);

// What the journal reads back from a row of trips.csv.
struct TripRow {
  std::string start;  // as written
  LocalTime startTime;
  LocalTime endTime;
  std::string how;  // as written: "обнулено", "выход", "сбой питания"
  uint32_t timeMs = 0;
  double km = 0;
  double litres = 0;
  double money = 0;
};
// nullopt for a line that is not a row of ours (the header, a damaged or cut-short line, an
// end that is none of ours). Numbers may have either decimal sign.
std::optional<TripRow> ParseTripRow(std::string_view line, char separator = ',');

// One recorded fill-up.
struct FillRecord {
  LocalTime when;
  FillProposal fill;
};

// fills.csv: date (ISO 8601), litres pumped, litres counted since the fill-up before, the factor
// before and after, and what kind of fill-up it was ("полная", "неполная", "первая").
std::string FillsHeader(char separator = ',');  // with the byte-order mark
std::string FormatFillRow(const FillRecord& fill);

}  // namespace drunvale
