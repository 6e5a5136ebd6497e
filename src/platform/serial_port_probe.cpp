#include "platform/serial_port_probe.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace drunvale {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 3> kNumberedGroups = {"ttyS", "ttyUSB", "ttyACM"};

// The number after prefix when name is exactly prefix and digits; -1 otherwise.
long NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 6) return -1;
  long n = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::vector<std::string> EntryNames(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

bool IsBuiltInUartName(const std::string& path) {
  return NumberAfter(fs::path(path).filename().string(), "ttyS") >= 0;
}

// Without the right to open the device, sysfs still tells a real port from an empty UART slot.
bool SysfsKnowsPort(const std::string& path) {
  std::error_code ec;
  const fs::path device = fs::canonical(path, ec);
  if (ec) return false;
  const fs::path entry = fs::path("/sys/class/tty") / device.filename();
  if (!fs::exists(entry / "device", ec)) return false;
  std::ifstream type(entry / "type");
  int uart = -1;
  if (type >> uart) return uart != PORT_UNKNOWN;
  return true;
}

}  // namespace

std::vector<std::string> SerialPortCandidates(const std::string& devDir) {
  const fs::path dev(devDir);
  const std::vector<std::string> names = EntryNames(dev);
  std::vector<std::string> result;
  for (std::string_view prefix : kNumberedGroups) {
    std::vector<std::pair<long, std::string>> group;
    for (const std::string& name : names) {
      if (long n = NumberAfter(name, prefix); n >= 0) group.emplace_back(n, name);
    }
    std::sort(group.begin(), group.end());
    for (const auto& [n, name] : group)
      result.push_back((dev / name).string());
  }
  const fs::path byId = dev / "serial" / "by-id";
  std::vector<std::string> stable = EntryNames(byId);
  std::sort(stable.begin(), stable.end());
  for (const std::string& name : stable)
    result.push_back((byId / name).string());
  return result;
}

bool SerialPortAnswers(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EBUSY) return true;  // held exclusively, by our own connection perhaps
    if (errno == EACCES || errno == EPERM) return SysfsKnowsPort(path);
    return false;  // EIO, ENXIO, ENODEV: nothing behind the node
  }
  termios attributes{};
  bool answers = tcgetattr(fd, &attributes) == 0;
  if (answers && IsBuiltInUartName(path)) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN) answers = false;
  }
  close(fd);
  return answers;
}

std::vector<std::string> ProbeSerialPorts() {
  std::vector<std::string> ports;
  for (const std::string& candidate : SerialPortCandidates("/dev")) {
    if (SerialPortAnswers(candidate)) ports.push_back(candidate);
  }
  return ports;
}

}  // namespace drunvale
