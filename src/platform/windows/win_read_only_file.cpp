// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <algorithm>

#include "platform/read_only_file.h"
#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

class WinReadOnlyFile final : public ByteSource {
 public:
  WinReadOnlyFile(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}
  ~WinReadOnlyFile() override { CloseHandle(handle_); }
  WinReadOnlyFile(const WinReadOnlyFile&) = delete;
  WinReadOnlyFile& operator=(const WinReadOnlyFile&) = delete;

  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
    size_t done = 0;
    while (done < out.size()) {
      // On a handle opened for synchronous I/O the OVERLAPPED only carries the offset.
      OVERLAPPED at{};
      const uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, out.data() + done, want, &got, &at) || got == 0) return false;
      done += got;
    }
    return true;
  }

 private:
  HANDLE handle_;
  uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenReadOnlyFile(const std::string& path) {
  // Others may read, write or delete the file meanwhile, as they may on Linux.
  HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  BY_HANDLE_FILE_INFORMATION info{};
  // Disk files only, and no folders (opening one fails anyway without backup semantics).
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !GetFileSizeEx(handle, &size)) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<WinReadOnlyFile>(handle, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace drunvale
