// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace drunvale::sim {

// The output rate set on a terminal, whatever way it was set (BOTHER included). On a
// pseudo-terminal the master reports the slave's settings, so the simulator sees the rate the
// tester chose without touching the tester's descriptor.
std::optional<uint32_t> ReadLineRate(int fd);

// Raw 8N1 at any rate, 10400 included, receiver on, no modem control.
bool SetRawLineRate(int fd, uint32_t rate);

}  // namespace drunvale::sim
