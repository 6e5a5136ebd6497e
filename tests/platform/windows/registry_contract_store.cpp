// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/contract_store.h"
#include "platform/windows/registry_user_store.h"
#include "platform/windows/wide_text.h"

namespace drunvale::testing {
namespace {

constexpr const wchar_t* kScratch = L"Software\\DrunvaleTests";

// A key of its own below the current user's, so that no test touches the real settings.
class RegistryContractStore final : public ContractStore {
 public:
  RegistryContractStore() {
    HKEY software;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (base_ + L"\\Software").c_str(), 0, nullptr, 0,
                        KEY_WRITE, nullptr, &software, nullptr) == ERROR_SUCCESS) {
      RegCloseKey(software);
    }
  }
  ~RegistryContractStore() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
    // Fails, as it should, while another test process still has its key below it.
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratch);
  }
  UserStore& Store() override { return store_; }

 private:
  static inline std::atomic<int> next_{0};
  const std::wstring base_ = std::wstring(kScratch) + L"\\" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(next_++);
  RegistryUserStore store_{Utf8FromWide(base_)};
};

}  // namespace

std::unique_ptr<ContractStore> MakeContractStore() {
  return std::make_unique<RegistryContractStore>();
}

}  // namespace drunvale::testing
