// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of trips.csv: written as a spreadsheet reads them and read back by the journal.
#include "journal/journal_rows.h"

#include <gtest/gtest.h>

#include "journal/csv.h"
#include "journal/journal_summary.h"
#include "journal/local_time_text.h"

namespace drunvale {
namespace {

TEST(JournalRows, LocalTimesCarryTheirOffsetBothWays) {
  EXPECT_EQ(FormatIso8601({0, 180}), "1970-01-01T03:00:00+03:00");
  const LocalTime winter{1709258399, -300};  // the last second of February 2024, five hours west
  EXPECT_EQ(FormatIso8601(winter), "2024-02-29T20:59:59-05:00");
  EXPECT_EQ(ParseIso8601(FormatIso8601(winter)), winter);
  EXPECT_EQ(LocalDate({1709258399, 300}), "2024-03-01");
  for (const char* bad :
       {"", "2024-02-29 20:59:59-05:00", "2024-13-01T00:00:00+00:00", "2024-02-29T20:59:59Z"})
    EXPECT_FALSE(ParseIso8601(bad)) << bad;
}

TripRecord ATrip() {
  TripRecord trip;
  trip.start = {1714540530, 180};  // 2024-05-01 08:15:30
  trip.end = {1714544253, 180};
  trip.how = TripEnd::PowerLost;
  trip.everywhere = {3723000, 12.345f, 56.78f, 1.234f};
  trip.inJam = {600000, 1.0f, 5.0f, 0.2f};
  trip.outsideJam = {3123000, 11.345f, 51.78f, 1.034f};
  trip.fuelPrice = 50.0f;
  trip.factor = 10420;
  trip.port = "/dev/serial/by-id/usb-FTDI,x";
  trip.controlUnit = "M7.9.7 \"Январь\" Ver. 1.2  010203\r\n";
  return trip;
}

TEST(JournalRows, ARowHoldsThePanelsFiguresAndReadsBack) {
  const std::string header = TripsHeader();
  EXPECT_TRUE(header.starts_with(std::string(kUtf8Bom) + "начало,конец,завершение,время везде"));
  const std::string row = FormatTripRow(ATrip());
  std::vector<std::string> fields;
  ASSERT_TRUE(SplitCsvLine(row, fields));
  ASSERT_EQ(fields.size(), 27u);
  EXPECT_EQ(fields[0], "2024-05-01T08:15:30+03:00");
  EXPECT_EQ(fields[2], "сбой питания");
  EXPECT_EQ(fields[3], "1:02:03");
  EXPECT_EQ(fields[6], "12.35");   // km as the panel rounds them
  EXPECT_EQ(fields[9], "1.23");    // litres
  EXPECT_EQ(fields[12], "56.78");  // kg of air
  EXPECT_EQ(fields[15], "61.70");  // roubles
  EXPECT_EQ(fields[18], "11.94");  // km/h
  EXPECT_EQ(fields[22], "10.00");  // l/100 km
  EXPECT_EQ(fields[24], "1.0420");
  EXPECT_EQ(fields[25], "/dev/serial/by-id/usb-FTDI,x");
  EXPECT_EQ(fields[26], "M7.9.7 \"Январь\" Ver. 1.2  010203");
  EXPECT_EQ(row.find('\n'), std::string::npos);

  const auto back = ParseTripRow(row);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->timeMs, 3723000u);
  EXPECT_DOUBLE_EQ(back->litres, 1.23);
  EXPECT_EQ(back->startTime, ATrip().start);

  // A trip that never moved shows no consumption per 100 km, as the panel shows dashes.
  TripRecord standing = ATrip();
  standing.everywhere.Distance = 0;
  ASSERT_TRUE(SplitCsvLine(FormatTripRow(standing), fields));
  EXPECT_EQ(fields[22], "");
  EXPECT_EQ(fields[19], "54.90");  // kg/h still
}

TEST(JournalRows, TextFromOutsideIsNoFormulaAndOnlyOurEndsReadBack) {
  TripRecord trip = ATrip();
  trip.port = "=HYPERLINK(\"x\")";
  trip.controlUnit = "-1+2";
  std::vector<std::string> fields;
  ASSERT_TRUE(SplitCsvLine(FormatTripRow(trip), fields));
  EXPECT_EQ(fields[25], "'=HYPERLINK(\"x\")");
  EXPECT_EQ(fields[26], "'-1+2");
  for (const char* text : {"+7", "@SUM", "\tx", "\rx"})
    EXPECT_EQ(CsvText(text), std::string("'") + text);
  EXPECT_EQ(CsvText("/dev/ttyUSB0"), "/dev/ttyUSB0");

  fields[2] = "\x1b[2J";
  EXPECT_FALSE(ParseTripRow(CsvLine(fields)));
}

TEST(JournalRows, ARowTakesTheFormOfItsFileAndReadsBackFromEither) {
  const std::string row = FormatTripRow(ATrip());
  EXPECT_EQ(RowInForm(row, {',', '.'}, kTripNumberFields), row);
  const std::string russian = RowInForm(row, {';', ','}, kTripNumberFields);
  std::vector<std::string> fields;
  ASSERT_TRUE(SplitCsvLine(russian, fields, ';'));
  ASSERT_EQ(fields.size(), 27u);
  EXPECT_EQ(fields[0], "2024-05-01T08:15:30+03:00");
  EXPECT_EQ(fields[3], "1:02:03");
  EXPECT_EQ(fields[6], "12,35");
  EXPECT_EQ(fields[24], "1,0420");
  EXPECT_EQ(fields[25], "/dev/serial/by-id/usb-FTDI,x");  // text stays as it is
  const auto back = ParseTripRow(russian, ';');
  ASSERT_TRUE(back);
  EXPECT_DOUBLE_EQ(back->km, 12.35);

  // A file's form is its header's, and for ';' its first row's decimal sign.
  const std::string file = TripsHeader(';') + "\n" + russian + "\n";
  EXPECT_EQ(FormOfFile(file, kTripNumberAt, {}), (RegionalNumbers{';', ','}));
  const std::string pointed =
      TripsHeader(';') + "\n" + RowInForm(row, {';', '.'}, kTripNumberFields) + "\n";
  EXPECT_EQ(FormOfFile(pointed, kTripNumberAt, {';', ','}), (RegionalNumbers{';', '.'}));
  EXPECT_EQ(FormOfFile(TripsHeader() + "\n", kTripNumberAt, {';', ','}), (RegionalNumbers{}));
  EXPECT_EQ(FormOfFile("", kTripNumberAt, {';', ','}), (RegionalNumbers{';', ','}));
  EXPECT_EQ(WrittenForm({'\t', ','}), (RegionalNumbers{';', ','}));
}

TEST(JournalRows, TheSummaryListsTripsNewestFirstSkipsDamagedLinesAndTotalsBySpan) {
  TripRecord early = ATrip();
  early.start = {1714460000, 180};  // the day before
  early.end = {1714463600, 180};
  const std::string file = TripsHeader() + "\n" + FormatTripRow(early) + "\n" +
                           FormatTripRow(ATrip()) + "\n" + "2024-05-01T09:00:00+03:00,cut" + "\n";
  const JournalContents journal = SummariseJournal(file, {1714550000, 180}, 1714500000);
  ASSERT_EQ(journal.trips.size(), 2u);
  EXPECT_EQ(journal.trips[0].startTime, ATrip().start);
  EXPECT_EQ(journal.damagedLines, 1);
  EXPECT_EQ(journal.all.trips, 2);
  EXPECT_EQ(journal.today.trips, 1);
  EXPECT_EQ(journal.tank.trips, 1);
  EXPECT_EQ(TotalsCells(journal.all),
            (std::vector<std::string>{"2", "2:04:06", "24.70", "2.46", "123.40", "9.96"}));
  EXPECT_EQ(TripCells(journal.trips[0]),
            (std::vector<std::string>{"2024-05-01 08:15", "1:02:03", "12.35", "1.23", "61.70",
                                      "9.96", "сбой питания"}));
}

}  // namespace
}  // namespace drunvale
