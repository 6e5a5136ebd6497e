// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale {

// Without a sound device OpenAL Soft and ALSA each print their own complaints, a screenful
// that reads like a failure; the program says in one line of its own that it runs silent.
// Unless the user asked for OpenAL Soft's log (ALSOFT_LOGLEVEL or ALSOFT_LOGFILE set), this
// silences both libraries for this process; the environment is left as it was. Call it first
// thing in main, before any thread starts and before any other OpenAL call: OpenAL Soft reads
// its configuration and its log level together, once. Implemented by the OpenAL back end.
void QuietSoundLibraries();

}  // namespace drunvale
