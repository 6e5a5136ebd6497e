// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale {

// Outcome of switching: systemError holds what the system said when it failed (errno on Linux,
// a registry error code on Windows).
struct [[nodiscard]] AutostartResult {
  bool ok = true;
  int systemError = 0;

  explicit operator bool() const { return ok; }
};

// Whether the program's window starts by itself when the user logs in, and the switch for it.
// Linux: an XDG autostart entry in the user's autostart folder (linux/xdg_autostart.cpp);
// Windows: a value under the user's Run key (windows/run_key_autostart.cpp).
class SessionAutostart {
 public:
  virtual ~SessionAutostart() = default;
  virtual bool IsOn() = 0;
  // Writes the entry (naming this program) or removes it; removing one that is not there is no
  // failure.
  virtual AutostartResult Set(bool on) = 0;
  // Where the entry lives, for the user: a file path or a registry path.
  virtual std::string Where() const = 0;
};

// The entry for the program that is running now, in the current user's place for it.
SessionAutostart& SystemSessionAutostart();

}  // namespace drunvale
