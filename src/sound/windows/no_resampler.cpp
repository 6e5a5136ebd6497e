// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/resampler.h"

namespace drunvale {

// Debian has no libsamplerate for Windows; the Windows sound output brings a converter of its
// own. Until then nothing plays there, so no WAV sound needs one.
std::unique_ptr<Resampler> MakeResampler(int, ResamplerInput&) {
  return nullptr;
}

}  // namespace drunvale
