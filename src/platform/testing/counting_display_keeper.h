// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/display_keeper.h"

namespace drunvale {

// Test double: notes whether the display is held and how often it was asked to be.
class CountingDisplayKeeper final : public DisplayKeeper {
 public:
  void Hold() override {
    held = true;
    ++holds;
  }
  void Release() override { held = false; }

  bool held = false;
  int holds = 0;
};

}  // namespace drunvale
