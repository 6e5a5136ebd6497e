// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/thread_name.h"
#include "platform/windows/wide_text.h"

namespace drunvale {

void NameCurrentThread(const char* name) {
  // SetThreadDescription came with Windows 10 1607: looked up, so older systems just skip it.
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  static const auto set = reinterpret_cast<SetDescription>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (set) set(GetCurrentThread(), WideFromUtf8(name).c_str());
}

}  // namespace drunvale
