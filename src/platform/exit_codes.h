// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exit codes of drunvale and drunvale-ecusim, shared so that scripts read both alike. The
// numbers follow <sysexits.h> where it has one for the case.
namespace drunvale {

inline constexpr int kExitOk = 0;
// The simulator could not start its work: its pseudo-terminal, or a line that failed under it.
inline constexpr int kExitCannotStart = 1;
// Unknown option or unusable value (EX_USAGE).
inline constexpr int kExitUsage = 64;
// A file that could not be read (EX_IOERR): drunvale --journal.
inline constexpr int kExitIoError = 74;
// No display for the window, or a build without windows (EX_UNAVAILABLE); --console still runs.
inline constexpr int kExitNoDisplay = 69;
// A file or registry value the user asked for could not be written or removed (EX_CANTCREAT).
inline constexpr int kExitCannotWrite = 73;
// drunvale --codes and --clear-codes: no word from the adapter or the car in time
// (EX_TEMPFAIL), and a unit that does not offer the codes or did not confirm the clear
// (EX_PROTOCOL).
inline constexpr int kExitNotReached = 75;
inline constexpr int kExitNotOffered = 76;

// What the process returns once the main window has closed with `windowResult` (2 after a
// normal close). The Windows build keeps the dialog's result, as the program always has there;
// on Linux a close is a normal end, because service managers and scripts read any other code as
// a failure and would restart the meter after the driver closed it.
constexpr int ExitCodeAfterWindow([[maybe_unused]] int windowResult) {
#ifdef _WIN32
  return windowResult;
#else
  return kExitOk;
#endif
}

}  // namespace drunvale
