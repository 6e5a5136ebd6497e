// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "link/trouble_codes.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::vector<uint16_t>;

TEST(TroubleCodes, NamesTheFourLettersAndTheGenericSystems) {
  EXPECT_EQ(CodeName(0x0130), "P0130");
  EXPECT_EQ(CodeName(0x4301), "C0301");
  EXPECT_EQ(CodeName(0x9ABC), "B1ABC");
  EXPECT_EQ(CodeName(0xF00F), "U300F");
  EXPECT_EQ(CodeSystem(0x0171), "топливо и воздух");
  EXPECT_EQ(CodeSystem(0x0201), "топливо и воздух (цепи форсунок)");
  EXPECT_EQ(CodeSystem(0x0301), "зажигание и пропуски воспламенения");
  EXPECT_EQ(CodeSystem(0x0420), "снижение токсичности");
  EXPECT_EQ(CodeSystem(0x0700), "коробка передач");
  EXPECT_EQ(CodeSystem(0x1130), "код изготовителя");
  EXPECT_EQ(CodeSystem(0xC100), "сеть обмена данными");
}

TEST(TroubleCodes, DecodesEachAnswerWithItsCountAndPadding) {
  // KWP2000: the count, then code and status (storage state 10: pending); a count that does
  // not match is no answer.
  EXPECT_EQ(DecodeKwpCodes(Bytes{0x03, 0x01, 0x30, 0xE0, 0x03, 0x01, 0x20, 0x01, 0x71, 0x40}),
            (std::vector<TroubleCode>{{0x0130}, {0x0301}, {0x0171, true}}));
  EXPECT_EQ(DecodeKwpCodes(Bytes{0x00}), std::vector<TroubleCode>{});
  EXPECT_FALSE(DecodeKwpCodes(Bytes{0x02, 0x01, 0x30, 0xE0}));
  EXPECT_FALSE(DecodeKwpCodes(Bytes{}));
  // CAN: the count first, so padding after it is left alone.
  EXPECT_EQ(DecodeObdCodes(Bytes{0x43, 0x02, 0x01, 0x30, 0x03, 0x01, 0xAA}, true),
            (Codes{0x0130, 0x0301}));
  EXPECT_EQ(DecodeObdCodes(Bytes{0x43, 0x00, 0xAA, 0xAA}, true), Codes{});
  // K-line: three codes a frame, filled up with 00 00.
  EXPECT_EQ(DecodeObdCodes(Bytes{0x47, 0x01, 0x71, 0x00, 0x00, 0x00, 0x00}, false),
            (Codes{0x0171}));
  EXPECT_EQ(DecodeObdCodes(Bytes{0x43, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, false), Codes{});
}

}  // namespace
}  // namespace drunvale
