// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/local_time_text.h"

#include <cstdio>

namespace drunvale {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, and back (Howard
// Hinnant's algorithms): no time zone tables needed, the offset comes with the time.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

struct Civil {
  int64_t year;
  unsigned month;
  unsigned day;
};

Civil CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  value = 0;
  if (at + count > text.size()) return false;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::string FormatIso8601(const LocalTime& time) {
  const int64_t local = time.unixSeconds + int64_t{time.utcOffsetMinutes} * 60;
  const int64_t days = FloorDiv(local, kSecondsPerDay);
  const int64_t second = local - days * kSecondsPerDay;
  const Civil date = CivilFromDays(days);
  const int32_t offset = time.utcOffsetMinutes < 0 ? -time.utcOffsetMinutes : time.utcOffsetMinutes;
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d%c%02d:%02d",
                static_cast<long long>(date.year), date.month, date.day,
                static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                static_cast<int>(second % 60), time.utcOffsetMinutes < 0 ? '-' : '+',
                static_cast<int>(offset / 60), static_cast<int>(offset % 60));
  return text;
}

std::optional<LocalTime> ParseIso8601(std::string_view text) {
  int year, month, day, hour, minute, second, offsetHours, offsetMinutes;
  if (text.size() != 25 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || (text[19] != '+' && text[19] != '-') || text[22] != ':' ||
      !Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
      !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second) ||
      !Digits(text, 20, 2, offsetHours) || !Digits(text, 23, 2, offsetMinutes)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
      offsetMinutes > 59) {
    return std::nullopt;
  }
  const int32_t offset = (text[19] == '-' ? -1 : 1) * (offsetHours * 60 + offsetMinutes);
  const int64_t local =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) *
          kSecondsPerDay +
      hour * 3600 + minute * 60 + second;
  return LocalTime{local - int64_t{offset} * 60, offset};
}

std::string LocalDate(const LocalTime& time) {
  return FormatIso8601(time).substr(0, 10);
}

}  // namespace drunvale
