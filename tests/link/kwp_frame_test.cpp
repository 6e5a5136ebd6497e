// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Request(const Bytes& data) {
  KwpFrame f = BuildRequestFrame(data.data(), static_cast<uint8_t>(data.size()));
  return Bytes(f.data(), f.data() + f.size);
}

TEST(KwpFrame, BuildsTheSessionsRequests) {
  const std::vector<std::pair<Bytes, Bytes>> table = {
      {{0x20}, {0x81, 0x10, 0xF1, 0x20, 0xA2}},
      {{0x82}, {0x81, 0x10, 0xF1, 0x82, 0x04}},
      {{0x81}, {0x81, 0x10, 0xF1, 0x81, 0x03}},
      {{0x10, 0x81, 0x26}, {0x83, 0x10, 0xF1, 0x10, 0x81, 0x26, 0x3B}},
      {{0x10, 0x81, 0x39}, {0x83, 0x10, 0xF1, 0x10, 0x81, 0x39, 0x4E}},
      {{0x1A, 0x80}, {0x82, 0x10, 0xF1, 0x1A, 0x80, 0x1D}},
      {{0x21, 0x01}, {0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}},
  };
  for (const auto& [data, frame] : table)
    EXPECT_EQ(Request(data), frame);
}

TEST(KwpFrame, LengthMovesToItsOwnByteFrom64DataBytes) {
  Bytes data(63, 0x01);
  Bytes frame = Request(data);
  ASSERT_EQ(frame.size(), 3u + 63 + 1);
  EXPECT_EQ(frame[0], 0xBF);
  EXPECT_EQ(frame[3], 0x01);  // data right after the addresses
  EXPECT_EQ(frame.back(), static_cast<uint8_t>(0xBF + 0x10 + 0xF1 + 63));

  data.push_back(0x01);
  frame = Request(data);
  ASSERT_EQ(frame.size(), 4u + 64 + 1);
  EXPECT_EQ(frame[0], 0x80);
  EXPECT_EQ(frame[3], 0x40);
  EXPECT_EQ(frame.back(), static_cast<uint8_t>(0x80 + 0x10 + 0xF1 + 0x40 + 64));

  KwpFrame response = BuildResponseFrame(data.data(), 2);
  EXPECT_EQ(Bytes(response.data(), response.data() + 3), (Bytes{0x82, 0xF1, 0x10}));
}

TEST(KwpFrame, JudgesResponseHeaders) {
  struct Case {
    Bytes header;
    bool accepted;
    size_t rest = 0;
    size_t service = 0;
  };
  const std::vector<Case> cases = {
      {{0x83, 0xF1, 0x10, 0x61}, true, 3, 3},
      {{0x80, 0xF1, 0x10, 0x05}, true, 6, 4},
      {{0xBF, 0xF1, 0x10, 0x61}, true, 63, 3},
      {{0x80, 0xF1, 0x10, 0xFB}, true, 252, 4},  // 4 + 251 + 1 = 256 fills the buffer
      {{0x80, 0xF1, 0x10, 0xFC}, false},         // would run past the buffer
      {{0x80, 0xF1, 0x10, 0x00}, false},         // no service identifier
      {{0x83, 0x10, 0xF1, 0x61}, false},         // target and source swapped
      {{0xC3, 0xF1, 0x10, 0x61}, false},
      {{0xFF, 0xF1, 0x10, 0x61}, false},
      {{0x03, 0xF1, 0x10, 0x61}, false},
      {{0x7F, 0xF1, 0x10, 0x61}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.header));
    auto header = ParseResponseHeader(c.header.data());
    ASSERT_EQ(header.has_value(), c.accepted);
    if (!header) continue;
    EXPECT_EQ(header->restLength, c.rest);
    EXPECT_EQ(header->serviceOffset, c.service);
  }
}

}  // namespace
}  // namespace drunvale
