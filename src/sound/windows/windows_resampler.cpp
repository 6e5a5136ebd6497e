// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sinc/sinc_resampler.h"

namespace drunvale {

// Debian has no libsamplerate built for Windows: the converter of our own stands in for it.
std::unique_ptr<Resampler> MakeResampler(int channels, ResamplerInput& input) {
  return MakeSincResampler(channels, input);
}

}  // namespace drunvale
