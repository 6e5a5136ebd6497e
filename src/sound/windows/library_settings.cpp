// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/library_noise.h"

namespace drunvale {

// Windows' sound goes through no library that prints complaints of its own.
void QuietSoundLibraries() {}

}  // namespace drunvale
