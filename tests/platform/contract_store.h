// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/user_store.h"

namespace drunvale::testing {

// The platform's real user store, in a place of its own that holds only "Software" and is
// removed afterwards: a temporary config folder on Linux, a scratch key in the registry on
// Windows.
class ContractStore {
 public:
  virtual ~ContractStore() = default;
  virtual UserStore& Store() = 0;
};

std::unique_ptr<ContractStore> MakeContractStore();

}  // namespace drunvale::testing
