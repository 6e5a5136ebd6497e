// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/wall_clock.h"

namespace drunvale {
namespace {

constexpr int64_t kFileTimeTicksPerSecond = 10'000'000;
// 1601-01-01 to 1970-01-01 in seconds.
constexpr int64_t kUnixEpochInFileTimeSeconds = 11'644'473'600;

int64_t TicksOf(const FILETIME& time) {
  return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class WinWallClock final : public WallClock {
 public:
  LocalTime Now() override {
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    const int64_t utcTicks = TicksOf(utc);
    LocalTime now{utcTicks / kFileTimeTicksPerSecond - kUnixEpochInFileTimeSeconds, 0};
    // The rules of the user's time zone for this very moment, daylight saving included.
    SYSTEMTIME utcParts{};
    SYSTEMTIME localParts{};
    FILETIME local{};
    if (FileTimeToSystemTime(&utc, &utcParts) &&
        SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) &&
        SystemTimeToFileTime(&localParts, &local)) {
      const int64_t seconds = (TicksOf(local) - utcTicks) / kFileTimeTicksPerSecond;
      // Rounded to whole minutes: the two conversions drop the sub-millisecond ticks.
      now.utcOffsetMinutes = static_cast<int32_t>((seconds + (seconds >= 0 ? 30 : -30)) / 60);
    }
    return now;
  }
};

}  // namespace

WallClock& SystemWallClock() {
  static WinWallClock clock;
  return clock;
}

}  // namespace drunvale
