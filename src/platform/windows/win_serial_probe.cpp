// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>

#include "platform/serial_port_probe.h"
#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::optional<unsigned long> ComNumber(const std::string& name) {
  const std::string upper = Upper(name);
  if (upper.size() < 4 || upper.size() > 9 || !upper.starts_with("COM")) return std::nullopt;
  unsigned long n = 0;
  for (char c : upper.substr(3)) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<unsigned long>(c - '0');
  }
  return n;
}

}  // namespace

std::vector<std::string> OrderComPorts(std::vector<std::string> names) {
  auto key = [](const std::string& name) {
    const auto n = ComNumber(name);
    return std::make_tuple(!n.has_value(), n.value_or(0), Upper(name));
  };
  std::stable_sort(names.begin(), names.end(),
                   [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
  names.erase(
      std::unique(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }),
      names.end());
  return names;
}

// Every serial driver enters its ports here ("\Device\Serial0" = "COM1"); a pulled USB adapter
// leaves. No port is opened, so a port in use is listed too.
std::vector<SerialPortName> ListSerialPorts(const SerialPortRoots&) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[256];
    DWORD nameLength = 256;
    wchar_t data[64];
    DWORD dataBytes = sizeof data;
    DWORD type = 0;
    const LONG r = RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &dataBytes);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;  // too long for a port name, or odd
    std::wstring_view port(data, dataBytes / sizeof(wchar_t));
    port = port.substr(0, port.find(L'\0'));
    if (!port.empty()) names.push_back(Utf8FromWide(port));
  }
  RegCloseKey(key);
  std::vector<SerialPortName> ports;
  for (std::string& name : OrderComPorts(std::move(names))) ports.emplace_back(std::move(name));
  return ports;
}

}  // namespace drunvale
