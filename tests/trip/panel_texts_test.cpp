// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "trip/fixed_format.h"
#include "trip/indicator_text.h"
#include "trip/panel_captions.h"
#include "trip/panel_texts.h"

namespace drunvale {
namespace {

constexpr std::string_view kZeroTotals = "0:00:00 \n0.00 \n0.00 \n0.00 \n0.00 ";
constexpr std::string_view kNoRates = "- \n- \n- \n- \n- \n- ";

TEST(PanelTexts, FreshStatisticsShowZerosAndDashes) {
  const PanelTexts p = FormatPanel(TripSnapshot{}, 30);
  for (const auto* text : {&p.TotalsEverywhere, &p.TotalsInJam, &p.TotalsOutsideJam})
    EXPECT_EQ(*text, kZeroTotals);
  for (const auto* text :
       {&p.RatesEverywhere, &p.RatesInJam, &p.RatesOutsideJam, &p.RatesMaximum, &p.RatesCurrent})
    EXPECT_EQ(*text, kNoRates);
  EXPECT_EQ(FormatIndicator(TripFigures{}, true), "0.0");
  EXPECT_EQ(FormatIndicator(TripFigures{}, false), "8^0");
}

TEST(PanelTexts, ColumnsOfAJamPricedAtThirty) {
  TripSnapshot trip;
  trip.InJam = {1800000, 5, 10, 1};
  trip.Pending = {600000, 0, 2, 0.5f};  // a standing car in the everywhere column
  trip.Maximum = {1, 90, 30, 9};
  trip.MaxPer100Km = 45;
  trip.Current = {1, 60, 20, 6};
  const PanelTexts p = FormatPanel(trip, 30);
  EXPECT_EQ(p.TotalsInJam, "0:30:00 \n5.00 \n10.00 \n1.00 \n30.00 ");
  EXPECT_EQ(p.RatesInJam, "10.00 \n20.00 \n2.00 \n60.00 \n20.00 \n600.00 ");
  EXPECT_EQ(p.TotalsOutsideJam, kZeroTotals);
  EXPECT_EQ(p.RatesOutsideJam, kNoRates);
  EXPECT_EQ(p.TotalsEverywhere, "0:40:00 \n5.00 \n12.00 \n1.50 \n45.00 ");
  EXPECT_EQ(p.RatesEverywhere, "7.50 \n18.00 \n2.25 \n67.50 \n30.00 \n900.00 ");
  EXPECT_EQ(p.RatesMaximum, "90.00 \n30.00 \n9.00 \n270.00 \n45.00 \n1350.00 ");
  EXPECT_EQ(p.RatesCurrent, "60.00 \n20.00 \n6.00 \n180.00 \n10.00 \n300.00 ");

  const TripFigures standing{3600000, 0, 12, 3};
  EXPECT_EQ(FormatRates(standing, 30), "0.00 \n12.00 \n3.00 \n90.00 \n——— \n——— ");
  EXPECT_EQ(FormatRates(standing, 30, 45.0f), "0.00 \n12.00 \n3.00 \n90.00 \n——— \n——— ");
}

TEST(PanelTexts, EngineTimeHasUnboundedHours) {
  EXPECT_EQ(FormatTotals({3723000, 0, 0, 0}, 0).substr(0, 9), "1:02:03 \n");
  EXPECT_EQ(FormatTotals({360000000, 0, 0, 0}, 0).substr(0, 11), "100:00:00 \n");
  EXPECT_EQ(FormatTotals({0xFFFFFFFFu, 0, 0, 0}, 0).substr(0, 12), "1193:02:47 \n");
}

TEST(IndicatorText, Per100LimitsAndLitresPerHour) {
  EXPECT_EQ(FormatPer100({1, 0.000009f, 5, 5}), "8^0");
  EXPECT_EQ(FormatPer100({1, 60, 0, 6}), "10.0");
  EXPECT_EQ(FormatPer100({1, 60, 0, 60}), "99+");
  EXPECT_EQ(FormatPer100({1, 100, 0, 99}), "99+");
  EXPECT_EQ(FormatPer100({1, 100, 0, 98.96f}), "99.0");
  EXPECT_EQ(FormatIndicator({1, 0, 0, 25}, true), "25.0");
  EXPECT_EQ(FormatIndicator({1, 60, 0, 6}, false), "10.0");
  EXPECT_EQ(IndicatorCaption(true), kIndicatorCaptionLitresPerHour);
  EXPECT_EQ(IndicatorCaption(false),
            "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/100)");
}

TEST(FixedFormat, MatchesPrintfInTheCLocale) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> values(-2000, 200000);
  const double ties[] = {0.125, 0.375, 2.675, 0.05, -0.001};
  char expected[64];
  for (int i = 0; i < 20000; ++i) {
    const double value = i < 5 ? ties[i] : values(random);
    for (int precision : {1, 2}) {
      std::snprintf(expected, sizeof expected, "%0.*f", precision, value);
      std::string text;
      AppendFixed(text, value, precision);
      ASSERT_EQ(text, expected) << value;
    }
  }
}

}  // namespace
}  // namespace drunvale
