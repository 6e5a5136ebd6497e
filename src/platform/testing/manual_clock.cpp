// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/manual_clock.h"

namespace drunvale {

bool ManualStopEvent::IsSet() {
  if (!set_ && setAt_ && static_cast<int32_t>(clock_.NowMs() - *setAt_) >= 0) set_ = true;
  return set_;
}

WaitResult ManualStopEvent::Wait(uint32_t timeoutMs) {
  ++waits_;
  if (IsSet()) return WaitResult::Signalled;
  if (setAt_) {
    uint32_t untilSet = *setAt_ - clock_.NowMs();
    if (untilSet <= timeoutMs) {
      clock_.Advance(untilSet);
      set_ = true;
      return WaitResult::Signalled;
    }
  }
  clock_.Advance(timeoutMs);
  return WaitResult::TimedOut;
}

}  // namespace drunvale
