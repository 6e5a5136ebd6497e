// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/data_folder.h"
#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

using Status = FileResult::Status;

// Files are read whole up to this size; a journal of ten years is a few megabytes.
constexpr uint64_t kMaxDataFileBytes = 64 << 20;

FileResult ResultOfError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {Status::NotFound, static_cast<int>(error)};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return {Status::NoSpace, static_cast<int>(error)};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return {Status::NoAccess, static_cast<int>(error)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return {Status::Busy, static_cast<int>(error)};
    default:
      return {Status::Failed, static_cast<int>(error)};
  }
}

FileResult LastError() {
  return ResultOfError(GetLastError());
}

// The user's local application data, from the shell; the environment when the shell will not
// say (a service, a stripped-down system).
std::wstring LocalAppData() {
  PWSTR known = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) path = known;
  CoTaskMemFree(known);
  if (!path.empty()) return path;
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH + 1);
  return length > 0 && length <= MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

bool WriteAll(HANDLE file, std::string_view text) {
  size_t done = 0;
  while (done < text.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(file, text.data() + done, want, &wrote, nullptr)) return false;
    if (wrote == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    done += wrote;
  }
  return true;
}

class WinDataFolder final : public DataFolder {
 public:
  explicit WinDataFolder(std::wstring path) : path_(std::move(path)) {}
  ~WinDataFolder() override {
    if (claim_ != INVALID_HANDLE_VALUE) CloseHandle(claim_);
  }
  WinDataFolder(const WinDataFolder&) = delete;
  WinDataFolder& operator=(const WinDataFolder&) = delete;

  std::string Path() const override { return Utf8FromWide(path_); }
  std::string PathOf(std::string_view name) const override { return Utf8FromWide(FileOf(name)); }

  FileResult Read(std::string_view name, std::string& bytes) override {
    bytes.clear();
    if (path_.empty()) return {Status::NotFound, ERROR_PATH_NOT_FOUND};
    // Others may go on writing or replacing the file meanwhile.
    HANDLE file = CreateFileW(FileOf(name).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    LARGE_INTEGER size{};
    FileResult result;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
      result = {Status::Failed, ERROR_INVALID_FUNCTION};
    } else if (static_cast<uint64_t>(size.QuadPart) > kMaxDataFileBytes) {
      result = {Status::Failed, ERROR_FILE_TOO_LARGE};
    } else {
      bytes.resize(static_cast<size_t>(size.QuadPart));
      size_t done = 0;
      while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr)) {
          result = LastError();
          break;
        }
        if (got == 0) break;  // it shrank meanwhile
        done += got;
      }
      bytes.resize(done);
    }
    CloseHandle(file);
    if (!result.Ok()) bytes.clear();
    return result;
  }

  FileResult AppendLine(std::string_view name, std::string_view header,
                        std::string_view line) override {
    if (FileResult made = MakeFolder(); !made.Ok()) return made;
    // Readers may look on (a spreadsheet that keeps its file open); no one else writes.
    HANDLE file = CreateFileW(FileOf(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
      FileResult failed = LastError();
      CloseHandle(file);
      return failed;
    }
    std::string text;
    if (size.QuadPart == 0) {
      text.append(header).push_back('\n');
    } else {
      char last = 0;
      DWORD got = 0;
      LARGE_INTEGER before{};
      before.QuadPart = size.QuadPart - 1;
      if (!SetFilePointerEx(file, before, nullptr, FILE_BEGIN) ||
          !ReadFile(file, &last, 1, &got, nullptr) || got != 1) {
        last = 0;
      }
      if (last != '\n') text.push_back('\n');
    }
    text.append(line).push_back('\n');
    FileResult result;
    if (!SetFilePointerEx(file, size, nullptr, FILE_BEGIN) || !WriteAll(file, text) ||
        !FlushFileBuffers(file)) {
      result = LastError();
      // What a failed write left behind goes, so the next row starts where this one did.
      if (SetFilePointerEx(file, size, nullptr, FILE_BEGIN)) SetEndOfFile(file);
    }
    CloseHandle(file);
    return result;
  }

  FileResult Replace(std::string_view name, std::string_view bytes) override {
    if (FileResult made = MakeFolder(); !made.Ok()) return made;
    const std::wstring target = FileOf(name);
    const std::wstring temp = target + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    FileResult result;
    if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) result = LastError();
    CloseHandle(file);
    if (result.Ok() && !MoveFileExW(temp.c_str(), target.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      result = LastError();
    }
    if (!result.Ok()) DeleteFileW(temp.c_str());
    return result;
  }

  FileResult Remove(std::string_view name) override {
    if (path_.empty() || DeleteFileW(FileOf(name).c_str())) return {};
    const FileResult result = LastError();
    return result.status == Status::NotFound ? FileResult{} : result;
  }

  FileResult Rename(std::string_view name, std::string_view newName) override {
    if (path_.empty()) return {Status::NotFound, ERROR_PATH_NOT_FOUND};
    // Without MOVEFILE_REPLACE_EXISTING a name that is taken is refused.
    if (MoveFileExW(FileOf(name).c_str(), FileOf(newName).c_str(), MOVEFILE_WRITE_THROUGH)) {
      return {};
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
      return {Status::Busy, static_cast<int>(error)};
    return ResultOfError(error);
  }

  FileResult Claim() override {
    if (claim_ != INVALID_HANDLE_VALUE) return {};
    if (FileResult made = MakeFolder(); !made.Ok()) return made;
    // Shared, so that a virus scanner or a backup looking at the file is not taken for another
    // copy: only the lock on its first byte is the claim. The system lets go of it with the
    // handle, when the process ends, however it ends.
    HANDLE file = CreateFileW(FileOf("journal.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      // A program that opened it without sharing is no copy of this one: tried again later.
      FileResult failed = LastError();
      if (failed.status == Status::Busy) failed.status = Status::Failed;
      return failed;
    }
    OVERLAPPED first{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first)) {
      // ERROR_LOCK_VIOLATION: another copy holds it, which is Busy.
      const FileResult held = LastError();
      CloseHandle(file);
      return held;
    }
    claim_ = file;
    return {};
  }

 private:
  std::wstring FileOf(std::string_view name) const { return path_ + L"\\" + WideFromUtf8(name); }

  FileResult MakeFolder() const {
    if (path_.empty()) return {Status::Failed, ERROR_PATH_NOT_FOUND};
    // The levels above it one at a time, as CreateDirectoryW makes only one; the drive or the
    // share a level may stand for refuses, which only the folder's own result can tell.
    for (size_t slash = path_.find(L'\\', 3); slash != std::wstring::npos;
         slash = path_.find(L'\\', slash + 1)) {
      CreateDirectoryW(path_.substr(0, slash).c_str(), nullptr);
    }
    if (CreateDirectoryW(path_.c_str(), nullptr)) return {};
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return ResultOfError(error == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : error);
  }

  std::wstring path_;
  HANDLE claim_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<DataFolder> OpenDataFolderAt(const std::string& path) {
  return std::make_unique<WinDataFolder>(WideFromUtf8(path));
}

std::string UserDataFolderPlace() {
  return "%LOCALAPPDATA%\\Tembrook\\Drunvale";
}

std::unique_ptr<DataFolder> OpenUserDataFolder() {
  const std::wstring base = LocalAppData();
  return std::make_unique<WinDataFolder>(base.empty() ? std::wstring()
                                                      : base + L"\\Tembrook\\Drunvale");
}

}  // namespace drunvale
