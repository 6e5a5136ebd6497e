// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "sound/resampler.h"

namespace drunvale {

// A band-limited converter of our own, for builds without libsamplerate (Windows): each output
// frame is the input weighted by a Kaiser-windowed sinc centred on its position, low-passed
// below the lower of the two rates. Up to 1 or 2 channels; null for others.
std::unique_ptr<Resampler> MakeSincResampler(int channels, ResamplerInput& input);

}  // namespace drunvale
