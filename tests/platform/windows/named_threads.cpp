// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <tlhelp32.h>

#include "platform/named_threads.h"
#include "platform/windows/wide_text.h"

namespace drunvale::testing {

int ThreadsNamed(const char* name) {
  using GetDescription = HRESULT(WINAPI*)(HANDLE, PWSTR*);
  const auto get = reinterpret_cast<GetDescription>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (!get || snapshot == INVALID_HANDLE_VALUE) return -1;
  const std::wstring wanted = WideFromUtf8(name);
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
    const HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
    if (!thread) continue;
    wchar_t* description = nullptr;
    if (SUCCEEDED(get(thread, &description)) && description) {
      if (wanted == description) ++count;
      LocalFree(description);
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return count;
}

}  // namespace drunvale::testing
