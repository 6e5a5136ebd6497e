// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

enum class WaitResult { Signalled, TimedOut };

// A manual-reset event: once set it stays set until Reset, and every waiter sees it.
class StopEvent {
 public:
  virtual ~StopEvent() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  virtual bool IsSet() = 0;
  // Waits up to timeoutMs (0 = just look). Returns TimedOut only when the time ran out unset.
  virtual WaitResult Wait(uint32_t timeoutMs) = 0;
};

}  // namespace drunvale
