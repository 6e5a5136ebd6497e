// SPDX-License-Identifier: GPL-3.0-or-later
// The fuel factor from fill-ups: what a driver's numbers make of it, and the tank counter's
// stored form.
#include "journal/fill_up.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "journal/fuel_factor.h"
#include "journal/journal_store.h"

namespace drunvale {
namespace {

TankState Counted(double litres, std::array<PastFill, 2> fills = {}) {
  return {litres, 1'700'000'000, fills};
}

TEST(FillUp, LitresAreReadWithEitherDecimalSignAndWithinWhatAPumpGives) {
  EXPECT_EQ(ParseLitres("45.3"), 45.3);
  EXPECT_EQ(ParseLitres("45,3"), 45.3);
  EXPECT_EQ(ParseLitres(" 40 "), 40.0);
  for (const char* bad : {"", " ", ".", "abc", "0", "-1", "1e3", "1.2.3", "1000.5"})
    EXPECT_FALSE(ParseLitres(bad)) << bad;
}

TEST(FillUp, AFullTankProposesTheMeasuredFactorHeldToATenthPerFillAndToItsRange) {
  // 41 pumped where 40 were counted: the control unit says 2.5 % too little.
  FillProposal fill = ProposeFill(Counted(40), kFactorOne, 41.0, false);
  EXPECT_EQ(fill.verdict, FillVerdict::Full);
  EXPECT_TRUE(fill.Recordable());
  EXPECT_EQ(fill.after, 10250u);
  EXPECT_FALSE(fill.limited);

  // 22.5 % off is still a full tank, but the factor moves 10 % at most.
  fill = ProposeFill(Counted(40), kFactorOne, 49.0, false);
  EXPECT_EQ(fill.after, 11000u);
  EXPECT_TRUE(fill.limited);
  fill = ProposeFill(Counted(40), kFactorOne, 31.0, false);
  EXPECT_EQ(fill.after, 9000u);

  // Near the top of the range the range wins over the step.
  fill = ProposeFill(Counted(40), 12500, 48.0, false);
  EXPECT_EQ(fill.after, kFactorHighest);
}

TEST(FillUp, TheLastTwoFullFillsAreAveragedInByTheirLitres) {
  const TankState tank = Counted(40, {PastFill{30, 1.05f}, PastFill{10, 0.95f}});
  // This fill measures 1.05; (42 × 1.05 + 30 × 1.05 + 10 × 0.95) / 82 = 1.0378.
  const FillProposal fill = ProposeFill(tank, kFactorOne, 42.0, false);
  EXPECT_NEAR(fill.measured, 1.05, 1e-6);
  EXPECT_EQ(fill.after, 10378u);

  const TankState after = TankAfterFill(tank, fill, 1'700'100'000);
  EXPECT_EQ(after.litres, 0);
  EXPECT_EQ(after.since, 1'700'100'000);
  EXPECT_EQ(after.fills[0], (PastFill{42, fill.measured}));
  EXPECT_EQ(after.fills[1], (PastFill{30, 1.05f}));
}

TEST(FillUp, AFarOffOrTooSmallFillIsRefusedUnlessRecordedAsNotFullWhichKeepsTheFactor) {
  const TankState tank = Counted(40, {PastFill{30, 1.05f}, {}});
  for (double pumped : {51.0, 29.0}) {
    const FillProposal fill = ProposeFill(tank, kFactorOne, pumped, false);
    EXPECT_EQ(fill.verdict, FillVerdict::Partial) << pumped;
    EXPECT_FALSE(fill.Recordable());
    EXPECT_EQ(fill.after, kFactorOne);
  }
  EXPECT_EQ(ProposeFill(Counted(3), kFactorOne, 3.0, false).verdict, FillVerdict::Partial);

  const FillProposal notFull = ProposeFill(tank, kFactorOne, 51.0, true);
  EXPECT_EQ(notFull.verdict, FillVerdict::NotFull);
  EXPECT_TRUE(notFull.Recordable());
  EXPECT_EQ(notFull.after, kFactorOne);
  const TankState after = TankAfterFill(tank, notFull, 1'700'100'000);
  EXPECT_EQ(after.litres, 40);  // the count goes on to the next full tank
  EXPECT_EQ(after.pumpedNotFull, 51);
  EXPECT_EQ(after.since, tank.since);
  EXPECT_EQ(after.fills, tank.fills);

  // Without litres nothing can be recorded; before the first fill-up the counter only starts.
  EXPECT_EQ(ProposeFill(tank, kFactorOne, std::nullopt, false).verdict, FillVerdict::NoLitres);
  const FillProposal first = ProposeFill(TankState{}, kFactorOne, 40.0, false);
  EXPECT_EQ(first.verdict, FillVerdict::First);
  EXPECT_EQ(first.after, kFactorOne);
  EXPECT_TRUE(TankAfterFill(TankState{}, first, 1'700'100'000).Started());
}

TEST(FillUp, ANotFullFillUpIsCountedIntoTheNextFullOne) {
  // Two full fills of 45 l at 1.0; 40 l used, 35 l put in "not full"; 30 l more used, 35 l
  // fill it up: 70 pumped against 70 counted, the factor stays.
  TankState tank = Counted(40, {PastFill{45, 1.0f}, PastFill{45, 1.0f}});
  tank = TankAfterFill(tank, ProposeFill(tank, kFactorOne, 35.0, true), 1'700'100'000);
  tank.litres += 30;
  const FillProposal full = ProposeFill(tank, kFactorOne, 35.0, false);
  EXPECT_EQ(full.verdict, FillVerdict::Full);
  EXPECT_EQ(full.pumpedEarlier, 35.0);
  EXPECT_EQ(full.after, kFactorOne);
  const TankState after = TankAfterFill(tank, full, 1'700'200'000);
  EXPECT_EQ(after.litres, 0);
  EXPECT_EQ(after.pumpedNotFull, 0);
  EXPECT_EQ(after.fills[0], (PastFill{70, 1.0f}));

  // The first fill-up of all may leave the tank not full: the count waits for a full one.
  const FillProposal notFullFirst = ProposeFill(TankState{}, kFactorOne, 20.0, true);
  EXPECT_EQ(notFullFirst.verdict, FillVerdict::NotFull);
  EXPECT_FALSE(TankAfterFill(TankState{}, notFullFirst, 1'700'100'000).Started());
}

TEST(FillUp, StoredFactorAndTankAreTakenOnlyWhenTheyMakeSense) {
  EXPECT_EQ(FactorOrOne(std::nullopt), kFactorOne);
  EXPECT_EQ(FactorOrOne(6999), kFactorOne);
  EXPECT_EQ(FactorOrOne(13001), kFactorOne);
  EXPECT_EQ(FactorOrOne(7000), 7000u);
  EXPECT_EQ(FormatFactor(10420), "1.0420");

  const TankState tank = Counted(12.5, {PastFill{40, 1.02f}, PastFill{38, 0.99f}});
  const TankImage image = EncodeTank(tank);
  EXPECT_EQ(image[0], 0x00);  // 12.5 as a little-endian double: 00 .. 00 29 40
  EXPECT_EQ(image[7], 0x40);
  EXPECT_EQ(DecodeTank(image), tank);
  // A counter stored by an older build, without the not-full litres.
  TankState notFull = tank;
  notFull.pumpedNotFull = 7;
  TankImage old = EncodeTank(notFull);
  EXPECT_EQ(DecodeTank(old, kOldTankBytes), tank);
  EXPECT_EQ(DecodeTank(old), notFull);
  TankImage damaged = EncodeTank(Counted(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(DecodeTank(damaged), std::nullopt);
}

}  // namespace
}  // namespace drunvale
