// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace drunvale {

// Keeps the display from blanking or locking while held, as a driver glances at it without
// touching anything. Hold and Release come from the one thread that owns the window (on
// Windows the request belongs to the calling thread); holding twice holds once, releasing
// without a hold does nothing.
class DisplayKeeper {
 public:
  virtual ~DisplayKeeper() = default;
  virtual void Hold() = 0;
  virtual void Release() = 0;
};

// Windows: SetThreadExecutionState (windows/execution_state_display_keeper.cpp), for the Win32
// view. On Linux the Qt window asks the desktop itself over D-Bus (ui/screen_saver_inhibitor.h).
std::unique_ptr<DisplayKeeper> MakeSystemDisplayKeeper();

}  // namespace drunvale
