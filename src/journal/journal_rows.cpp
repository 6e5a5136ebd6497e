// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_rows.h"

#include <algorithm>
#include <vector>

#include "journal/csv.h"
#include "journal/fuel_factor.h"
#include "journal/local_time_text.h"
#include "platform/c_locale_number.h"
#include "trip/fixed_format.h"
#include "trip/panel_texts.h"

namespace drunvale {
namespace {

// Below this average speed the panel shows no consumption per 100 km.
constexpr float kStandingSpeed = 0.00001f;
constexpr size_t kTripFields = 27;

constexpr std::string_view kTripColumns[kTripFields] = {
    "начало",
    "конец",
    "завершение",
    "время везде",
    "время в пробках",
    "время вне пробок",
    "км везде",
    "км в пробках",
    "км вне пробок",
    "л везде",
    "л в пробках",
    "л вне пробок",
    "кг воздуха везде",
    "кг воздуха в пробках",
    "кг воздуха вне пробок",
    "руб везде",
    "руб в пробках",
    "руб вне пробок",
    "км/ч",
    "кг/ч",
    "л/ч",
    "руб/ч",
    "л/100 км",
    "руб/100 км",
    "коэффициент топлива",
    "порт",
    "блок управления",
};

constexpr std::string_view kEndTexts[] = {"обнулено", "выход", "сбой питания"};

std::string Fixed(double value, int precision = 2) {
  std::string text;
  AppendFixed(text, value, precision);
  return text;
}

std::string Header(const std::vector<std::string_view>& columns, char separator) {
  std::string header(kUtf8Bom);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) header += separator;
    header += columns[i];
  }
  return header;
}

// A number as this file writes them, with either decimal sign; nullopt for anything else.
std::optional<double> Number(std::string text) {
  if (text.empty() || text.find_first_not_of("0123456789.,-") != std::string::npos) {
    return std::nullopt;
  }
  std::replace(text.begin(), text.end(), ',', '.');
  return StrtodInCLocale(text.c_str());
}

std::optional<uint32_t> EngineTime(const std::string& text) {
  // Hours have at most four digits: engine time wraps after 1193 hours.
  const size_t first = text.find(':');
  if (first == std::string::npos || first == 0 || first > 4 || text.size() != first + 6 ||
      text[first + 3] != ':') {
    return std::nullopt;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == first || i == first + 3) continue;
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  const uint64_t hours = std::stoul(text.substr(0, first));
  const uint64_t minutes = std::stoul(text.substr(first + 1, 2));
  const uint64_t seconds = std::stoul(text.substr(first + 4, 2));
  const uint64_t ms = ((hours * 60 + minutes) * 60 + seconds) * 1000;
  if (minutes > 59 || seconds > 59 || ms > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(ms);
}

}  // namespace

std::string TripsHeader(char separator) {
  return Header({std::begin(kTripColumns), std::end(kTripColumns)}, separator);
}

std::string FormatTripRow(const TripRecord& trip) {
  std::vector<std::string> fields = {FormatIso8601(trip.start), FormatIso8601(trip.end),
                                     std::string(kEndTexts[static_cast<int>(trip.how)])};
  const TripFigures* sides[] = {&trip.everywhere, &trip.inJam, &trip.outsideJam};
  for (const TripFigures* side : sides)
    fields.push_back(FormatEngineTime(side->TimeMs));
  for (const TripFigures* side : sides)
    fields.push_back(Fixed(side->Distance));
  for (const TripFigures* side : sides)
    fields.push_back(Fixed(side->Fuel));
  for (const TripFigures* side : sides)
    fields.push_back(Fixed(side->Air));
  // Single precision, as the panel multiplies.
  for (const TripFigures* side : sides)
    fields.push_back(Fixed(side->Fuel * trip.fuelPrice));

  const TripFigures rates = trip.everywhere.PerHour();
  const bool moved = rates.TimeMs != 0 && rates.Distance >= kStandingSpeed;
  const float per100 = moved ? rates.Fuel * 100.0f / rates.Distance : 0;
  auto rate = [&](bool shown, float value) { return shown ? Fixed(value) : std::string(); };
  fields.push_back(rate(rates.TimeMs != 0, rates.Distance));
  fields.push_back(rate(rates.TimeMs != 0, rates.Air));
  fields.push_back(rate(rates.TimeMs != 0, rates.Fuel));
  fields.push_back(rate(rates.TimeMs != 0, rates.Fuel * trip.fuelPrice));
  fields.push_back(rate(moved, per100));
  fields.push_back(rate(moved, per100 * trip.fuelPrice));

  fields.push_back(FormatFactor(trip.factor));
  fields.push_back(CsvText(trip.port));
  std::string unit = trip.controlUnit;
  while (!unit.empty() && (unit.back() == '\n' || unit.back() == '\r' || unit.back() == ' '))
    unit.pop_back();
  fields.push_back(CsvText(unit));
  return CsvLine(fields);
}

std::optional<TripRow> ParseTripRow(std::string_view line, char separator) {
  std::vector<std::string> fields;
  if (!SplitCsvLine(line, fields, separator) || fields.size() < kTripFields) return std::nullopt;
  // The end is shown as it was written: only our own words.
  if (std::find(std::begin(kEndTexts), std::end(kEndTexts), fields[2]) == std::end(kEndTexts)) {
    return std::nullopt;
  }
  const auto start = ParseIso8601(fields[0]);
  const auto end = ParseIso8601(fields[1]);
  const auto time = EngineTime(fields[3]);
  const auto km = Number(fields[6]);
  const auto litres = Number(fields[9]);
  const auto money = Number(fields[15]);
  if (!start || !end || !time || !km || !litres || !money) return std::nullopt;
  return TripRow{fields[0], *start, *end, fields[2], *time, *km, *litres, *money};
}

std::string FillsHeader(char separator) {
  return Header(
      {"дата", "залито л", "насчитано л", "коэффициент до", "коэффициент после", "заправка"},
      separator);
}

std::string FormatFillRow(const FillRecord& record) {
  const FillProposal& fill = record.fill;
  const char* kind = fill.verdict == FillVerdict::Full    ? "полная"
                     : fill.verdict == FillVerdict::First ? "первая"
                                                          : "неполная";
  return CsvLine({FormatIso8601(record.when), Fixed(fill.pumped), Fixed(fill.counted),
                  FormatFactor(fill.before), FormatFactor(fill.after), kind});
}

}  // namespace drunvale
