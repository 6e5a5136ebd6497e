// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/autostart_switch.h"

#include "platform/exit_codes.h"
#include "platform/session_autostart.h"
#include "platform/system_error.h"

namespace drunvale {

AutostartOutcome SwitchAutostart(SessionAutostart& autostart, bool on) {
  const AutostartResult switched = autostart.Set(on);
  const std::string where = autostart.Where();
  if (!switched) {
    return {kExitCannotWrite, "drunvale: cannot " + std::string(on ? "write " : "remove ") + where +
                                  ": " + SystemErrorText(switched.systemError) + "\n"};
  }
  if (on) return {kExitOk, "drunvale: the window opens whenever you log in (" + where + ")\n"};
  return {kExitOk, "drunvale: the window no longer opens when you log in (" + where + " gone)\n"};
}

}  // namespace drunvale
