// SPDX-License-Identifier: GPL-3.0-or-later
#include <locale.h>
#include <stdlib.h>

#include "platform/c_locale_number.h"

namespace drunvale {

double StrtodInCLocale(const char* text) {
  static const _locale_t c = _create_locale(LC_ALL, "C");
  return _strtod_l(text, nullptr, c);
}

}  // namespace drunvale
