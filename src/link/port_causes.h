// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "platform/serial_port.h"

namespace drunvale {

// The cause line: why the status line says what it says, in the user's words, with what to do
// where there is something to do. UTF-8.

// Beside "Не удаётся открыть %s.".
std::string OpenFailureCause(const OpenError& error);
// Beside "Связь с адаптером %s потеряна.".
std::string LostPortCause();
// When the port opened but would not take the wake-up rate.
std::string RefusedRateCause(uint32_t baud, int systemError);

}  // namespace drunvale
