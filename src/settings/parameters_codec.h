// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

namespace drunvale {

// The persisted form of Parameters: 76 bytes, little-endian, FuelPrice as IEEE 754 single
// bits, booleans one byte 0 or 1, reserved bytes zero.
inline constexpr size_t kParametersSize = 76;
using ParametersImage = std::array<uint8_t, kParametersSize>;

ParametersImage EncodeParameters(const Parameters& p);
// Reserved bytes are ignored; a boolean byte is true when it is not zero.
Parameters DecodeParameters(const ParametersImage& image);

}  // namespace drunvale
