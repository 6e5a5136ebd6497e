// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/session_autostart.h"

namespace drunvale {

// The value "Drunvale" under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run,
// the quoted path of the program, which Windows starts when the user logs in. The Task
// Manager's startup page can switch such a value off without removing it: that counts as off,
// and switching on clears the mark.
class RunKeyAutostart final : public SessionAutostart {
 public:
  static constexpr const wchar_t* kValueName = L"Drunvale";

  // program: the executable the value starts, a full path.
  explicit RunKeyAutostart(std::wstring program) : program_(std::move(program)) {}

  bool IsOn() override;
  AutostartResult Set(bool on) override;
  std::string Where() const override;

 private:
  std::wstring program_;
};

}  // namespace drunvale
