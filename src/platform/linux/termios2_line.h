// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// Kernel line programming that needs <asm/termbits.h>, which cannot share a translation unit
// with <termios.h>. Callers see only plain types.
namespace drunvale {

// Writes the whole line state in one TCSETS2: any rate through BOTHER, raw 8N1, receiver on,
// modem status ignored, no flow control, no special characters, no hang-up on close.
// Returns 0 or the errno of the failure.
int WriteRawLineState(int fd, uint32_t baud);

// The output rate the line is programmed to, as TCGETS2 reports it.
std::optional<uint32_t> ReadLineBaud(int fd);

// Asks the driver to hand over received bytes at once (USB adapters otherwise hold them up to
// 16 ms). Returns false where the driver has no such switch; the port works either way.
bool TrySetLowLatency(int fd);

}  // namespace drunvale
