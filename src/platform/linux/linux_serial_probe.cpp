// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/serial_port_probe.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace drunvale {
namespace {

namespace fs = std::filesystem;

// The serial core's port type for a UART slot that found no chip (PORT_UNKNOWN).
constexpr int kUnknownUartType = 0;

std::vector<fs::path> Entries(const fs::path& dir) {
  std::vector<fs::path> entries;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    entries.push_back(it->path());
  }
  return entries;
}

// ttyUSB2 before ttyUSB10: the name without its trailing digits, then their number.
std::tuple<std::string, size_t, std::string> KernelOrder(const std::string& name) {
  size_t stem = name.size();
  while (stem > 0 && std::isdigit(static_cast<unsigned char>(name[stem - 1])))
    --stem;
  const std::string digits = name.substr(stem);
  // Leading zeros aside, a longer run of digits is the larger number.
  const size_t first = std::min(digits.find_first_not_of('0'), digits.size());
  return {name.substr(0, stem), digits.size() - first, digits.substr(first)};
}

// A Bluetooth serial link (rfcomm bind, or a connection made by a pairing tool): rfcomm<n>.
bool IsRfcomm(const std::string& name) {
  return name.size() > 6 && name.starts_with("rfcomm") &&
         std::all_of(name.begin() + 6, name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

bool IsSerialTty(const fs::path& entry) {
  std::error_code ec;
  // A bound Bluetooth link is a serial port with no device in sysfs until it connects.
  if (IsRfcomm(entry.filename().string())) return true;
  // Virtual consoles, pseudo-terminals and the like have no device behind them.
  if (!fs::exists(entry / "device", ec)) return false;
  // A UART slot the kernel reserved says it found nothing there.
  std::ifstream type(entry / "type");
  int uart = -1;
  return !(type >> uart) || uart != kUnknownUartType;
}

}  // namespace

std::vector<SerialPortName> ListSerialPorts(const SerialPortRoots& roots) {
  const fs::path dev = fs::path(roots.dev).lexically_normal();
  std::vector<std::string> names;
  for (const fs::path& entry : Entries(fs::path(roots.sys) / "class" / "tty")) {
    const std::string name = entry.filename().string();
    std::error_code ec;
    if (IsSerialTty(entry) && fs::exists(dev / name, ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return KernelOrder(a) < KernelOrder(b);
  });

  std::vector<SerialPortName> ports;
  std::map<std::string, size_t> byNode;
  for (const std::string& name : names) {
    byNode[(dev / name).string()] = ports.size();
    ports.emplace_back((dev / name).string());
  }

  // udev's stable names link to the node; the first of them (by name) stands for the adapter.
  std::vector<fs::path> stable = Entries(dev / "serial" / "by-id");
  std::sort(stable.begin(), stable.end());
  for (const fs::path& link : stable) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    if (ec) continue;
    const fs::path node = (target.is_absolute() ? target : link.parent_path() / target);
    const auto found = byNode.find(node.lexically_normal().string());
    if (found == byNode.end()) continue;
    SerialPortName& port = ports[found->second];
    if (!port.device.empty()) continue;
    port.device = port.path;
    port.path = link.string();
  }
  return ports;
}

}  // namespace drunvale
