// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/tcp_listener.h"
#include "sim/host_stream.h"

namespace drunvale::sim {

// Connections from a TCP listener as host streams, on any system the platform listens on.
// The connection has no wait a Wake can end, so a stream waits in short slices and looks for
// a wake between them.
std::unique_ptr<HostStreamListener> MakeTcpHostStreamListener(
    std::unique_ptr<TcpListener> listener);

}  // namespace drunvale::sim
