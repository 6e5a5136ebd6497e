// SPDX-License-Identifier: GPL-3.0-or-later
#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/regional_numbers.h"

namespace drunvale {

RegionalNumbers UserRegionalNumbers() {
  RegionalNumbers numbers;
  // The environment's locale, without changing the program's own.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return numbers;
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  if (radix != nullptr && std::strcmp(radix, ",") == 0) numbers = {';', ','};
  freelocale(user);
  return numbers;
}

}  // namespace drunvale
