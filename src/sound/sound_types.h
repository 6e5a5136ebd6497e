// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/result_code.h"

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

// Result codes of the sound layer: the audio platform's own (negative = failure) and the
// RIFF reader's small positive ones. 0 is success.
using SoundResult = ResultCode;
inline constexpr SoundResult kSoundOk = kResultOk;
inline constexpr SoundResult kSoundFail = kResultFail;
inline constexpr SoundResult kSoundInvalidParam = static_cast<int32_t>(0x80070057u);
inline constexpr SoundResult kSoundNoDriver = static_cast<int32_t>(0x88780078u);
inline constexpr SoundResult kSoundBadFormat = static_cast<int32_t>(0x88780064u);
inline constexpr SoundResult kWaveCannotRead = 261;
inline constexpr SoundResult kWaveCannotSeek = 263;
inline constexpr SoundResult kWaveChunkNotFound = 265;
inline constexpr SoundResult kWaveInvalidFile = 272;

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
