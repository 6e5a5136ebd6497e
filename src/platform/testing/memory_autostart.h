// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/session_autostart.h"

namespace drunvale {

// Test double: the switch in memory; failWith makes every switch fail with that system error.
class MemoryAutostart final : public SessionAutostart {
 public:
  bool IsOn() override { return on; }
  AutostartResult Set(bool value) override {
    if (failWith != 0) return {false, failWith};
    on = value;
    return {};
  }
  std::string Where() const override { return "/memory/autostart/drunvale.desktop"; }

  bool on = false;
  int failWith = 0;
};

}  // namespace drunvale
