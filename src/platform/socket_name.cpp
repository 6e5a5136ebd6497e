// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/socket_name.h"

#include <algorithm>
#include <cctype>

namespace drunvale {
namespace {

constexpr std::string_view kScheme = "socket://";

bool IsAlnum(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Letters, digits, dots, hyphens and underscores: a DNS name or an IPv4 literal. Anything
// else (a space, a slash, an @) is a typing mistake the resolver would only obscure.
bool IsHostName(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return IsAlnum(c) || c == '.' || c == '-' || c == '_';
  });
}

// Hex groups and colons, an IPv4 tail, and after % the zone (an interface name).
bool IsIpv6Literal(std::string_view host) {
  const size_t zone = host.find('%');
  const std::string_view address = host.substr(0, zone);
  if (address.find(':') == std::string_view::npos) return false;
  const bool addressOk = std::all_of(address.begin(), address.end(), [](char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
  });
  if (zone == std::string_view::npos) return addressOk;
  return addressOk && IsHostName(host.substr(zone + 1));
}

std::optional<uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  uint32_t port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<uint32_t>(c - '0');
  }
  if (port == 0 || port > 65535) return std::nullopt;
  return static_cast<uint16_t>(port);
}

}  // namespace

bool IsSocketName(std::string_view name) {
  return name.size() >= kScheme.size() &&
         std::equal(kScheme.begin(), kScheme.end(), name.begin(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

std::optional<SocketName> ParseSocketName(std::string_view name) {
  if (!IsSocketName(name)) return std::nullopt;
  const std::string_view rest = name.substr(kScheme.size());
  std::string_view host;
  std::string_view port;
  if (rest.starts_with('[')) {
    const size_t close = rest.find(']');
    if (close == std::string_view::npos || rest.substr(close + 1, 1) != ":") return std::nullopt;
    host = rest.substr(1, close - 1);
    port = rest.substr(close + 2);
    if (!IsIpv6Literal(host)) return std::nullopt;
  } else {
    // An IPv6 literal without brackets can't be told from its port: only the bracketed form.
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos || rest.find(':', colon + 1) != std::string_view::npos)
      return std::nullopt;
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    if (!IsHostName(host)) return std::nullopt;
  }
  const std::optional<uint16_t> number = ParsePort(port);
  if (!number) return std::nullopt;
  return SocketName{std::string(host), *number};
}

}  // namespace drunvale
