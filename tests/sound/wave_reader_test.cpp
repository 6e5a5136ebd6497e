// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_reader.h"

#include <gtest/gtest.h>

#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

using testing::TempFile;
using testing::WavBytes;

SoundResult Parse(const std::vector<uint8_t>& bytes, WaveData& wave) {
  MemoryByteSource source(bytes);
  return ReadWave(source, wave);
}

SoundResult Parse(const std::vector<uint8_t>& bytes) {
  WaveData wave;
  return Parse(bytes, wave);
}

TEST(WaveReader, ReadsFormatAndAllSamples) {
  std::vector<uint8_t> samples = {1, 2, 3, 4, 5, 6, 7, 8};
  auto bytes =
      WavBytes().Chunk("fmt ", WavBytes::Fmt(1, 2, 22050, 16)).Chunk("data", samples).Bytes();
  WaveData wave;
  ASSERT_EQ(Parse(bytes, wave), SoundStatus::Ok);
  EXPECT_EQ(wave.format, MakePcmFormat(2, 22050, 16));
  EXPECT_EQ(wave.samples, samples);
}

TEST(WaveReader, ChunkOrderLongFormatAndUnknownChunks) {
  std::vector<uint8_t> samples = {9, 8, 7};  // odd: followed by a pad byte
  // An 18-byte format chunk, a LIST chunk in front, data ahead of fmt.
  auto bytes = WavBytes()
                   .Chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
                   .Chunk("data", samples)
                   .Chunk("junk", {})
                   .Chunk("fmt ", WavBytes::Fmt(1, 1, 8000, 8, 2))
                   .Bytes();
  WaveData wave;
  ASSERT_EQ(Parse(bytes, wave), SoundStatus::Ok);
  EXPECT_EQ(wave.format.samplesPerSec, 8000u);
  EXPECT_EQ(wave.samples, samples);
}

TEST(WaveReader, RefusesWhatIsNotPlainPcm) {
  auto with = [](std::vector<uint8_t> fmt) {
    return WavBytes().Chunk("fmt ", fmt).Chunk("data", {1, 2}).Bytes();
  };
  EXPECT_EQ(Parse(with(WavBytes::Fmt(3, 1, 8000, 32))), SoundStatus::InvalidFile);
  EXPECT_EQ(Parse(with(WavBytes::Fmt(0xFFFE, 2, 44100, 16, 24))), SoundStatus::InvalidFile);
  auto shortFmt = WavBytes::Fmt(1, 1, 8000, 8);
  shortFmt.resize(14);
  EXPECT_EQ(Parse(with(shortFmt)), SoundStatus::InvalidFile);
  EXPECT_EQ(Parse(with(WavBytes::Fmt(1, 0, 8000, 8))), SoundStatus::InvalidFile);
}

TEST(WaveReader, RefusesMissingOrBrokenStructure) {
  auto good = testing::SimpleWav(1, 8000, 8, 4);
  EXPECT_EQ(Parse(good), SoundStatus::Ok);
  EXPECT_EQ(Parse({}), SoundStatus::InvalidFile);
  EXPECT_EQ(Parse(WavBytes().Chunk("fmt ", WavBytes::Fmt(1, 1, 8000, 8)).Bytes("AVI ")),
            SoundStatus::InvalidFile);
  auto notRiff = good;
  notRiff[0] = 'X';
  EXPECT_EQ(Parse(notRiff), SoundStatus::InvalidFile);
  EXPECT_EQ(Parse(WavBytes().Chunk("fmt ", WavBytes::Fmt(1, 1, 8000, 8)).Bytes()),
            SoundStatus::ChunkNotFound);
  EXPECT_EQ(Parse(WavBytes().Chunk("data", {1, 2}).Bytes()), SoundStatus::ChunkNotFound);
  // A format chunk declared long enough but cut off by the end of the file.
  EXPECT_EQ(Parse(WavBytes()
                      .Chunk("data", {1, 2})
                      .ChunkDeclaring("fmt ", 16, {1, 0, 1, 0, 0x40, 0x1F})
                      .Bytes()),
            SoundStatus::CannotRead);
}

TEST(WaveReader, EmptyOrTruncatedDataIsRefused) {
  EXPECT_EQ(Parse(testing::SimpleWav(1, 8000, 8, 0)), SoundStatus::InvalidFile);
  auto truncated = WavBytes()
                       .Chunk("fmt ", WavBytes::Fmt(1, 1, 8000, 8))
                       .ChunkDeclaring("data", 1000, {1, 2, 3})
                       .Bytes();
  EXPECT_EQ(Parse(truncated), SoundStatus::CannotRead);
  // A size near 4 GiB must be turned down before anything is allocated for it.
  auto huge = WavBytes()
                  .Chunk("fmt ", WavBytes::Fmt(1, 1, 8000, 8))
                  .ChunkDeclaring("data", 0xFFFFFFF0u, {1, 2, 3})
                  .Bytes();
  EXPECT_EQ(Parse(huge), SoundStatus::CannotRead);
}

TEST(WaveReader, ChunksPastTheDeclaredRiffSizeAreNotSearched) {
  auto bytes = testing::SimpleWav(1, 8000, 8, 4);
  bytes[4] = 4 + 8 + 16;  // the RIFF chunk now ends after "fmt "
  bytes[5] = bytes[6] = bytes[7] = 0;
  EXPECT_EQ(Parse(bytes), SoundStatus::ChunkNotFound);
}

TEST(WaveReader, FilesFromDisk) {
  TempFile file("звук.wav", testing::SimpleWav(1, 11025, 8, 6));
  WaveData wave;
  EXPECT_EQ(ReadWaveFile(file.path(), wave), SoundStatus::Ok);
  EXPECT_EQ(wave.samples.size(), 6u);
  EXPECT_EQ(ReadWaveFile(file.path() + ".missing", wave), SoundStatus::InvalidFile);
  EXPECT_EQ(ReadWaveFile("/tmp", wave), SoundStatus::InvalidFile);
}

}  // namespace
}  // namespace drunvale
