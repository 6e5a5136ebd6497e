// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  drunvale::MemoryByteSource source(std::span<const uint8_t>(data, size));
  drunvale::WaveData wave;
  if (drunvale::ReadWave(source, wave) == drunvale::SoundStatus::Ok) {
    // What was accepted must lie inside the input.
    if (wave.samples.empty() || wave.samples.size() > size) __builtin_trap();
    if (wave.format.formatTag != drunvale::kWaveFormatPcm) __builtin_trap();
  }
  return 0;
}
