// SPDX-License-Identifier: GPL-3.0-or-later
#include <locale.h>
#include <stdlib.h>

#include "platform/c_locale_number.h"

namespace drunvale {

double StrtodInCLocale(const char* text) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(text, nullptr, c);
}

}  // namespace drunvale
