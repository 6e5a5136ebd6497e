// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/com_device.h"

#include "platform/windows/wide_text.h"

namespace drunvale {

std::wstring ComDevicePath(const std::string& name) {
  if (name.starts_with("\\\\.\\")) return WideFromUtf8(name);
  return L"\\\\.\\" + WideFromUtf8(name);
}

HANDLE OpenComDevice(const std::string& name) {
  return CreateFileW(ComDevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                     OPEN_EXISTING, 0, nullptr);
}

bool KeepsLineState(HANDLE handle) {
  DCB line{};
  line.DCBlength = sizeof line;
  return GetFileType(handle) == FILE_TYPE_CHAR && GetCommState(handle, &line);
}

}  // namespace drunvale
