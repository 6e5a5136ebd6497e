// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/parameters_codec.h"

#include <gtest/gtest.h>

namespace drunvale {
namespace {

TEST(ParametersCodec, DefaultsHaveTheirExactImage) {
  Parameters defaults;
  ResetParameters(defaults);
  const ParametersImage expected = {
      0xA0, 0x28, 0x01, 0x01, 0x00, 0x00, 0xF0, 0x41, 0x05, 0x1E, 0x14, 0x00,  // head
      0x00, 0x00, 0x72, 0x01, 0x01, 0x00, 0x00, 0x00,  // Zero: 0 ms, 370 Hz, tone
      0x44, 0xAC, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 44100, no repeat
      0x88, 0x13, 0xB8, 0x01, 0x01, 0x00, 0x00, 0x00,  // Min: 5000 ms, 440 Hz
      0x44, 0xAC, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x64, 0x00, 0x94, 0x02, 0x01, 0x00, 0x00, 0x00,  // Max: 100 ms, 660 Hz
      0x44, 0xAC, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0xE4, 0x02, 0x01, 0x00, 0x00, 0x00,  // Over: 0 ms, 740 Hz
      0x44, 0xAC, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
  };
  EXPECT_EQ(EncodeParameters(defaults), expected);
  EXPECT_EQ(DecodeParameters(expected), defaults);
}

TEST(ParametersCodec, AnyNonZeroBoolByteIsTrueAndReservedBytesAreIgnored) {
  Parameters defaults;
  ResetParameters(defaults);
  ParametersImage image = EncodeParameters(defaults);
  image[2] = 0x02;        // RtsPulse
  image[12 + 12] = 0xFF;  // LevelZero.AutoRepeat
  for (size_t at : {11, 12 + 5, 12 + 6, 12 + 7, 60 + 13, 60 + 14, 60 + 15})
    image[at] = 0xA5;

  const Parameters decoded = DecodeParameters(image);
  EXPECT_TRUE(decoded.RtsPulse);
  EXPECT_TRUE(decoded.LevelZero.AutoRepeat);
  Parameters expected = defaults;
  expected.LevelZero.AutoRepeat = true;
  EXPECT_EQ(decoded, expected);

  // Written back, booleans are 1 and the reserved bytes zero again.
  const ParametersImage rewritten = EncodeParameters(decoded);
  EXPECT_EQ(rewritten[2], 1);
  EXPECT_EQ(rewritten[12 + 12], 1);
  for (size_t at : {11, 12 + 5, 12 + 6, 12 + 7, 60 + 13, 60 + 14, 60 + 15}) {
    EXPECT_EQ(rewritten[at], 0) << at;
  }
}

}  // namespace
}  // namespace drunvale
