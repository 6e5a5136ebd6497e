// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/read_only_file.h"
#include "sound/sound_types.h"

namespace drunvale {

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, std::span<uint8_t> out) override;

 private:
  std::span<const uint8_t> bytes_;
};

// Where a WAV file keeps its samples.
struct WaveLayout {
  PcmFormat format;
  uint64_t dataOffset = 0;
  uint32_t dataBytes = 0;
};

struct WaveData {
  PcmFormat format;
  std::vector<uint8_t> samples;
};

// Walks the RIFF chunks of a "WAVE" form: "fmt " (PCM, at least 16 bytes) and "data" in any
// order, anything else skipped. Fails with a kWave* code when the file is malformed.
SoundResult ParseWave(ByteSource& source, WaveLayout& layout);
SoundResult ReadWave(ByteSource& source, WaveData& wave);
// SoundStatus::InvalidFile when the path can't be opened as a regular file.
SoundResult ReadWaveFile(const std::string& path, WaveData& wave);

}  // namespace drunvale
