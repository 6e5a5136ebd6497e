// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace drunvale {

// The three sounds an engine can play; None only as a request ("nothing requested yet").
enum class SoundSlot : int32_t { None = -1, Zero = 0, MinMax = 1, Over = 2 };
inline constexpr int kSlotCount = 3;
inline constexpr bool IsSlot(SoundSlot slot) {
  return slot == SoundSlot::Zero || slot == SoundSlot::MinMax || slot == SoundSlot::Over;
}
inline constexpr size_t SlotIndex(SoundSlot slot) {
  return static_cast<size_t>(slot);
}

// How a sound operation ended, with the system's own code beside it when there is one.
enum class SoundStatus {
  Ok,
  Failed,         // the output refused: a lost device, a write that did not go
  InvalidParam,   // nothing to play: a WAV without one whole frame
  NoDevice,       // no output device to open
  BadFormat,      // PCM the player cannot take
  CannotRead,     // a WAV file's bytes could not be read, or it ends early
  ChunkNotFound,  // a WAV file without its format or its data chunk
  InvalidFile,    // not a RIFF WAVE file, or no such file
};

struct [[nodiscard]] SoundResult {
  SoundStatus status = SoundStatus::Ok;
  int systemError = 0;  // the audio system's or the OS's code, for messages; 0 when none

  constexpr SoundResult() = default;
  constexpr SoundResult(SoundStatus what, int error = 0) : status(what), systemError(error) {}
  constexpr bool Ok() const { return status == SoundStatus::Ok; }
  friend constexpr bool operator==(const SoundResult& result, SoundStatus what) {
    return result.status == what;
  }
};

// Linear PCM as a WAV format chunk describes it (the first 16 bytes).
struct PcmFormat {
  uint16_t formatTag = 1;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;

  bool operator==(const PcmFormat&) const = default;
};

inline constexpr uint16_t kWaveFormatPcm = 1;

inline PcmFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  PcmFormat f;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = f.blockAlign * rate;
  return f;
}

}  // namespace drunvale
