// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace drunvale {

// A network adapter's port name, socket://HOST:PORT: HOST a name, an IPv4 literal or an IPv6
// literal in brackets ([::1], [fe80::1%wlan0]); PORT 1-65535. Wi-Fi ELM327 adapters usually
// listen at socket://192.168.0.10:35000.
struct SocketName {
  std::string host;  // without the brackets
  uint16_t port = 0;
};

// Whether the name is meant for the network (it starts with socket://, in any case), well
// formed or not: such a name is never opened as a device.
bool IsSocketName(std::string_view name);

// The host and port of a well-formed socket:// name; nothing for anything else.
std::optional<SocketName> ParseSocketName(std::string_view name);

// How long opening a network port may take in all, looking up the host's name included: a
// program being stopped waits for an opening under way.
inline constexpr uint32_t kSocketOpenLimitMs = 3000;

}  // namespace drunvale
