// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/session_autostart.h"

namespace drunvale {

// The XDG autostart entry <folder>/drunvale.desktop, which desktop sessions run at login. The
// folder is made when missing; the entry is replaced whole, so a power cut while it is written
// leaves the old one or none, never half of one. An entry marked Hidden, or switched off by
// the desktop's own startup settings, counts as off.
class XdgAutostart final : public SessionAutostart {
 public:
  static constexpr const char* kFileName = "drunvale.desktop";

  // program: the executable the entry starts, an absolute path.
  XdgAutostart(std::string folder, std::string program)
      : folder_(std::move(folder)), program_(std::move(program)) {}

  bool IsOn() override;
  AutostartResult Set(bool on) override;
  std::string Where() const override { return folder_ + "/" + kFileName; }

 private:
  std::string folder_;
  std::string program_;
};

// The entry's text; empty when the path cannot stand in an Exec line (a control character).
std::string AutostartEntryText(const std::string& program);

}  // namespace drunvale
