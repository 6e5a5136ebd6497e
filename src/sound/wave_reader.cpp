// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace drunvale {
namespace {

uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
bool IdIs(const uint8_t* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

struct Chunk {
  uint64_t body = 0;
  uint32_t size = 0;
};

}  // namespace

bool MemoryByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::copy_n(bytes_.begin() + static_cast<ptrdiff_t>(offset), out.size(), out.begin());
  return true;
}

SoundResult ParseWave(ByteSource& source, WaveLayout& layout) {
  const uint64_t fileSize = source.Size();
  std::array<uint8_t, 12> head{};
  if (!source.ReadAt(0, head)) return SoundStatus::InvalidFile;
  if (!IdIs(head.data(), "RIFF") || !IdIs(head.data() + 8, "WAVE")) return SoundStatus::InvalidFile;
  // Sub-chunks live inside the RIFF chunk as declared, but never past the end of the file.
  const uint64_t riffEnd =
      std::min<uint64_t>(8 + static_cast<uint64_t>(Le32(head.data() + 4)), fileSize);

  std::optional<Chunk> fmt;
  std::optional<Chunk> data;
  uint64_t pos = 12;
  while (pos + 8 <= riffEnd && !(fmt && data)) {
    std::array<uint8_t, 8> header{};
    if (!source.ReadAt(pos, header)) return SoundStatus::CannotRead;
    Chunk chunk{pos + 8, Le32(header.data() + 4)};
    if (!fmt && IdIs(header.data(), "fmt ")) fmt = chunk;
    if (!data && IdIs(header.data(), "data")) data = chunk;
    pos = chunk.body + chunk.size + (chunk.size & 1u);  // odd chunks carry a pad byte
  }
  if (!fmt || !data) return SoundStatus::ChunkNotFound;

  if (fmt->size < 16) return SoundStatus::InvalidFile;
  std::array<uint8_t, 16> f{};
  if (!source.ReadAt(fmt->body, f)) return SoundStatus::CannotRead;
  PcmFormat format;
  format.formatTag = Le16(&f[0]);
  format.channels = Le16(&f[2]);
  format.samplesPerSec = Le32(&f[4]);
  format.avgBytesPerSec = Le32(&f[8]);
  format.blockAlign = Le16(&f[12]);
  format.bitsPerSample = Le16(&f[14]);
  if (format.formatTag != kWaveFormatPcm) return SoundStatus::InvalidFile;
  if (format.channels == 0 || format.samplesPerSec == 0 || format.blockAlign == 0 ||
      format.bitsPerSample == 0) {
    return SoundStatus::InvalidFile;
  }

  if (data->size == 0) return SoundStatus::InvalidFile;
  // A data chunk cut short by the end of the file is refused rather than padded.
  if (data->body > fileSize || data->size > fileSize - data->body) return SoundStatus::CannotRead;

  layout.format = format;
  layout.dataOffset = data->body;
  layout.dataBytes = data->size;
  return SoundStatus::Ok;
}

SoundResult ReadWave(ByteSource& source, WaveData& wave) {
  WaveLayout layout;
  if (SoundResult r = ParseWave(source, layout); r != SoundStatus::Ok) return r;
  // The size was checked against the file, so this allocation is bounded by what is there.
  std::vector<uint8_t> samples(layout.dataBytes);
  if (!source.ReadAt(layout.dataOffset, samples)) return SoundStatus::CannotRead;
  wave.format = layout.format;
  wave.samples = std::move(samples);
  return SoundStatus::Ok;
}

SoundResult ReadWaveFile(const std::string& path, WaveData& wave) {
  auto file = OpenReadOnlyFile(path);
  if (!file) return SoundStatus::InvalidFile;
  return ReadWave(*file, wave);
}

}  // namespace drunvale
