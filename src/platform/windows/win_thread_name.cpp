// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/thread_name.h"
#include "platform/windows/wide_text.h"

namespace drunvale {

void NameCurrentThread(const char* name) {
  // SetThreadDescription exists from Windows 10 1607 on; older systems simply go without names.
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return;
  auto set = reinterpret_cast<SetDescription>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")));
  if (set) set(GetCurrentThread(), WideFromUtf8(name).c_str());
}

}  // namespace drunvale
