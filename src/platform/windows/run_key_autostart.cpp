// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/run_key_autostart.h"

#include <windows.h>

#include <vector>

#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Explorer keeps which Run values the user switched off: the first byte of a value's
// data is odd when it is off.
constexpr const wchar_t* kApprovedKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

bool SwitchedOffByExplorer() {
  BYTE data[12] = {};
  DWORD size = sizeof data;
  const LONG r = RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, RunKeyAutostart::kValueName,
                              RRF_RT_REG_BINARY, nullptr, data, &size);
  return r == ERROR_SUCCESS && size > 0 && (data[0] & 1) != 0;
}

LONG DeleteValue(const wchar_t* keyPath) {
  HKEY key = nullptr;
  LONG r = RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key);
  if (r == ERROR_SUCCESS) {
    r = RegDeleteValueW(key, RunKeyAutostart::kValueName);
    RegCloseKey(key);
  }
  return r == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : r;
}

std::wstring ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return std::wstring(path.data(), n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

bool RunKeyAutostart::IsOn() {
  DWORD size = 0;
  const LONG r =
      RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr, &size);
  return r == ERROR_SUCCESS && !SwitchedOffByExplorer();
}

AutostartResult RunKeyAutostart::Set(bool on) {
  if (!on) {
    const LONG r = DeleteValue(kRunKey);
    return {r == ERROR_SUCCESS, static_cast<int>(r)};
  }
  if (program_.empty()) return {false, ERROR_FILE_NOT_FOUND};
  // Quoted, as the path may hold blanks ("C:\Program Files\...").
  const std::wstring command = L"\"" + program_ + L"\"";
  HKEY key = nullptr;
  LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                           nullptr);
  if (r == ERROR_SUCCESS) {
    r = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  if (r != ERROR_SUCCESS) return {false, static_cast<int>(r)};
  // Switched on here means on: a mark left by the Task Manager would keep it from starting.
  DeleteValue(kApprovedKey);
  return {};
}

std::string RunKeyAutostart::Where() const {
  return "HKEY_CURRENT_USER\\" + Utf8FromWide(kRunKey) + "\\" + Utf8FromWide(kValueName);
}

SessionAutostart& SystemSessionAutostart() {
  static RunKeyAutostart autostart(ProgramPath());
  return autostart;
}

}  // namespace drunvale
