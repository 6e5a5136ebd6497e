// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/regional_numbers.h"

namespace drunvale {
namespace {

// The setting's first character when it is one a CSV file can use, else none.
wchar_t Setting(LCTYPE type) {
  wchar_t text[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 8) < 2) return 0;
  return text[1] == 0 ? text[0] : 0;
}

}  // namespace

RegionalNumbers UserRegionalNumbers() {
  const wchar_t list = Setting(LOCALE_SLIST);
  const wchar_t decimal = Setting(LOCALE_SDECIMAL);
  if (decimal != L'.' && decimal != L',') return {};
  const char point = static_cast<char>(decimal);
  if (list == L';' || list == L',' || list == L'\t') {
    const char separator = static_cast<char>(list);
    if (separator != point) return {separator, point};
  }
  return {point == ',' ? ';' : ',', point};
}

}  // namespace drunvale
