// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace drunvale {

// The 32-bit results of the settings store and the sound layer, numbered as the platform the
// program was written for numbers them: 0 is success, a negative code a failure. Each shared
// code is defined here once; a layer names its own codes beside these.
using ResultCode = int32_t;
inline constexpr ResultCode kResultOk = 0;
inline constexpr ResultCode kResultFail = static_cast<int32_t>(0x80004005u);  // E_FAIL

}  // namespace drunvale
