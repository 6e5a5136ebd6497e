#pragma once

namespace drunvale {

// OpenAL Soft 1.19 ignores the context's refresh attribute and mixes in 1024-frame periods,
// so a beep would land up to 23 ms late. Its configuration does honour short periods: unless
// the user points ALSOFT_CONF somewhere already, this writes a private config asking for
// 256-frame periods and names it. Call it first thing in main, before any thread starts
// (it changes the environment) and before the first OpenAL call.
void RequestShortMixingPeriods();

}  // namespace drunvale
