// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/sound_types.h"

namespace drunvale {

// One signal's samples as the renderer reads them: the built-in tone (computed, nothing
// stored) or a WAV file's frames. Never changed once made, so the player thread may keep
// reading a sound that a slot has since let go of.
struct SoundSamples {
  bool tone = true;
  uint32_t rate = 0;          // the WAV's own samples per second
  uint16_t channels = 1;      // 1 or 2
  std::vector<float> frames;  // interleaved, -1..1

  size_t FrameCount() const { return channels ? frames.size() / channels : 0; }
};

using SlotSounds = std::array<std::shared_ptr<const SoundSamples>, kSlotCount>;

}  // namespace drunvale
