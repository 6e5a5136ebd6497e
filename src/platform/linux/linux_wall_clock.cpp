// SPDX-License-Identifier: GPL-3.0-or-later
#include <time.h>

#include "platform/wall_clock.h"

namespace drunvale {
namespace {

class LinuxWallClock final : public WallClock {
 public:
  LocalTime Now() override {
    const time_t now = time(nullptr);
    struct tm local {};
    // tm_gmtoff is the offset in force at that moment, daylight saving included.
    const int32_t offset =
        localtime_r(&now, &local) ? static_cast<int32_t>(local.tm_gmtoff / 60) : 0;
    return {static_cast<int64_t>(now), offset};
  }
};

}  // namespace

WallClock& SystemWallClock() {
  static LinuxWallClock clock;
  return clock;
}

}  // namespace drunvale
