// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/named_mutex_instance_lock.h"

#include <windows.h>

#include <sddl.h>

#include <memory>
#include <vector>

#include "platform/system_error.h"
#include "platform/windows/wide_text.h"

namespace drunvale {
namespace {

std::string Describe(const std::string& what, DWORD systemError = GetLastError()) {
  return what + ": " + SystemErrorText(static_cast<int>(systemError));
}

// The process's user as a SID string ("S-1-5-21-…"); empty when it cannot be read.
std::string UserSid(std::string& error) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    error = Describe("cannot read the process's user");
    return {};
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::string sid;
  if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    wchar_t* text = nullptr;
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    if (ConvertSidToStringSidW(user->User.Sid, &text)) {
      sid = Utf8FromWide(text);
      LocalFree(text);
    }
  }
  if (sid.empty()) error = Describe("cannot read the process's user");
  CloseHandle(token);
  return sid;
}

}  // namespace

std::string UserInstanceName(std::string& error) {
  const std::string sid = UserSid(error);
  if (sid.empty()) return {};
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return "Tembrook.Drunvale.1.0-" + sid + "-" + std::to_string(session);
}

NamedMutexInstanceLock::~NamedMutexInstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

InstanceLock::Result NamedMutexInstanceLock::TryAcquire(std::string& error) {
  if (mutex_) return Result::Acquired;
  if (name_.empty()) {
    error = nameError_;
    return Result::Failed;
  }
  const std::wstring name = WideFromUtf8("Local\\" + name_);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  const DWORD created = GetLastError();
  if (!mutex) {
    // An object of that name this user may not open, planted by someone else: it cannot be
    // told whether a copy runs.
    error = Describe("cannot create the mutex " + name_, created);
    return Result::Failed;
  }
  if (created == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return Result::HeldByAnother;
  }
  mutex_ = mutex;
  return Result::Acquired;
}

std::unique_ptr<InstanceLock> MakeUserInstanceLock() {
  std::string error;
  std::string name = UserInstanceName(error);
  return std::make_unique<NamedMutexInstanceLock>(std::move(name), std::move(error));
}

}  // namespace drunvale
