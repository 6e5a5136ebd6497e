// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/contract_store.h"
#include "platform/linux/file_user_store.h"
#include "platform/temp_dir.h"

namespace drunvale::testing {
namespace {

class FileContractStore final : public ContractStore {
 public:
  UserStore& Store() override { return store_; }

 private:
  TempDir temp_;
  FileUserStore store_{temp_.path() + "/config"};
};

}  // namespace

std::unique_ptr<ContractStore> MakeContractStore() {
  return std::make_unique<FileContractStore>();
}

}  // namespace drunvale::testing
