// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/xdg_autostart.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/linux/atomic_file.h"

namespace drunvale {
namespace {

// An Exec argument with any of these must be quoted; inside the quotes, the last four are
// escaped with a backslash.
constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// The Exec line's one argument, as the desktop entry rules want it: quoted when needed, a
// percent sign doubled (it starts a field code), and every backslash doubled once more, as
// the value of a string key is unescaped before Exec is split.
std::string ExecArgument(const std::string& path) {
  const bool quoted = path.find_first_of(kReserved) != std::string::npos;
  std::string out = quoted ? "\"" : "";
  for (char c : path) {
    if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) out += "\\\\";
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '%') {
      out += "%%";
    } else {
      out += c;
    }
  }
  if (quoted) out += '"';
  return out;
}

std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return "drunvale";
  path.resize(static_cast<size_t>(n));
  // An executable replaced by an upgrade while it runs: its new copy is at the same path.
  constexpr std::string_view kDeleted = " (deleted)";
  if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
  return path;
}

}  // namespace

std::string AutostartEntryText(const std::string& program) {
  for (char c : program) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return {};
  }
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Drunvale\n"
         "Comment=Fuel consumption meter, started with the session\n"
         "Exec=" +
         ExecArgument(program) +
         "\n"
         "Icon=drunvale\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool XdgAutostart::IsOn() {
  if (folder_.empty()) return false;
  std::ifstream entry(Where());
  if (!entry) return false;
  std::string line;
  while (std::getline(entry, line)) {
    if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") return false;
  }
  return true;
}

AutostartResult XdgAutostart::Set(bool on) {
  // No home folder: no session to start with either.
  if (folder_.empty()) return {false, ENOENT};
  if (!on) {
    if (unlink(Where().c_str()) != 0 && errno != ENOENT) return {false, errno};
    return {};
  }
  const std::string text = AutostartEntryText(program_);
  if (text.empty()) return {false, EINVAL};
  std::error_code made;
  std::filesystem::create_directories(folder_, made);
  if (made) return {false, made.value()};
  if (const int error = ReplaceFileAtomically(Where(), text); error != 0) return {false, error};
  return {};
}

SessionAutostart& SystemSessionAutostart() {
  static XdgAutostart autostart = [] {
    const std::string config = XdgBaseFolder("XDG_CONFIG_HOME", ".config");
    return XdgAutostart(config.empty() ? "" : config + "/autostart", ProgramPath());
  }();
  return autostart;
}

}  // namespace drunvale
