// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/parameters_codec.h"

#include <bit>
#include <limits>

namespace drunvale {
namespace {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4);

constexpr size_t kLevelSize = 16;
constexpr size_t kLevelZeroOffset = 12;

class Writer {
 public:
  explicit Writer(ParametersImage& image) : image_(image) {}
  void U8(size_t at, uint8_t v) { image_[at] = v; }
  void Bool(size_t at, bool v) { image_[at] = v ? 1 : 0; }
  void U16(size_t at, uint16_t v) {
    image_[at] = v & 0xFF;
    image_[at + 1] = v >> 8;
  }
  void U32(size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
      image_[at + i] = (v >> (8 * i)) & 0xFF;
  }

 private:
  ParametersImage& image_;
};

class Reader {
 public:
  explicit Reader(const ParametersImage& image) : image_(image) {}
  uint8_t U8(size_t at) const { return image_[at]; }
  bool Bool(size_t at) const { return image_[at] != 0; }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(image_[at] | image_[at + 1] << 8); }
  uint32_t U32(size_t at) const {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
      v |= static_cast<uint32_t>(image_[at + i]) << (8 * i);
    return v;
  }

 private:
  const ParametersImage& image_;
};

void EncodeLevel(Writer& out, size_t at, const LevelSettings& level) {
  out.U16(at + 0, level.IntervalMs);
  out.U16(at + 2, level.ToneHz);
  out.Bool(at + 4, level.UseTone);
  out.U32(at + 8, level.SampleRate);
  out.Bool(at + 12, level.AutoRepeat);
}

LevelSettings DecodeLevel(const Reader& in, size_t at) {
  LevelSettings level;
  level.IntervalMs = in.U16(at + 0);
  level.ToneHz = in.U16(at + 2);
  level.UseTone = in.Bool(at + 4);
  level.SampleRate = in.U32(at + 8);
  level.AutoRepeat = in.Bool(at + 12);
  return level;
}

}  // namespace

ParametersImage EncodeParameters(const Parameters& p) {
  ParametersImage image{};  // reserved bytes stay zero
  Writer out(image);
  out.U16(0, p.BaudRate);
  out.Bool(2, p.RtsPulse);
  out.Bool(3, p.DtrOn);
  out.U32(4, std::bit_cast<uint32_t>(p.FuelPrice));
  out.U8(8, p.JamMinutes);
  out.U8(9, p.JamSpeed);
  out.U8(10, p.OverLimit);
  const LevelSettings* levels[] = {&p.LevelZero, &p.LevelMin, &p.LevelMax, &p.LevelOver};
  for (size_t i = 0; i < 4; ++i)
    EncodeLevel(out, kLevelZeroOffset + i * kLevelSize, *levels[i]);
  return image;
}

Parameters DecodeParameters(const ParametersImage& image) {
  const Reader in(image);
  Parameters p;
  p.BaudRate = in.U16(0);
  p.RtsPulse = in.Bool(2);
  p.DtrOn = in.Bool(3);
  p.FuelPrice = std::bit_cast<float>(in.U32(4));
  p.JamMinutes = in.U8(8);
  p.JamSpeed = in.U8(9);
  p.OverLimit = in.U8(10);
  LevelSettings* levels[] = {&p.LevelZero, &p.LevelMin, &p.LevelMax, &p.LevelOver};
  for (size_t i = 0; i < 4; ++i)
    *levels[i] = DecodeLevel(in, kLevelZeroOffset + i * kLevelSize);
  return p;
}

}  // namespace drunvale
