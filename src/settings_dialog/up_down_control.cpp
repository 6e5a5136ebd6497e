// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/up_down_control.h"

#include <algorithm>

#include "settings_dialog/dialog_numbers.h"

namespace drunvale {

UpDownControl::UpDownControl(int32_t lower, int32_t upper, bool writesBuddy)
    : writesBuddy_(writesBuddy) {
  SetRange(lower, upper);
  position_ = lower_;
}

void UpDownControl::SetRange(int32_t lower, int32_t upper) {
  // A device reporting its rates the wrong way round still gives a usable range.
  lower_ = std::min(lower, upper);
  upper_ = std::max(lower, upper);
}

void UpDownControl::SetText(std::string text) {
  text_ = std::move(text);
  if (!writesBuddy_) return;
  if (const auto n = ParseWholeNumber(text_); n && *n >= lower_ && *n <= upper_) {
    position_ = static_cast<int32_t>(*n);
  }
}

void UpDownControl::SetPosition(int64_t position) {
  position_ = static_cast<int32_t>(std::clamp<int64_t>(position, lower_, upper_));
  if (writesBuddy_) text_ = std::to_string(position_);
}

bool UpDownControl::Step(int direction) {
  const int64_t next = std::clamp<int64_t>(int64_t{position_} + direction, lower_, upper_);
  if (next == position_) return false;
  SetPosition(next);
  return true;
}

}  // namespace drunvale
