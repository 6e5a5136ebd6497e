// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/library_noise.h"
#include "sound/mixing_periods.h"

namespace drunvale {

// OpenAL Soft's configuration and its complaints; Windows sound goes through no such library.
void RequestShortMixingPeriods() {}
void QuietSoundLibraries() {}

}  // namespace drunvale
