// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The engine codes window's controls, in template order.
enum class EngineCodesControl : int {
  Lamp,    // the check-engine lamp, where the car tells it
  List,    // a code a row: the code, its system, whether it is confirmed
  Status,  // what is being asked, or what the unit answered
  Read,
  Clear,  // asks the driver first
  Close,  // identifier 2: Esc and the close box act as it does
};

inline constexpr std::string_view kEngineCodesColumns[] = {"Код", "Система", "Состояние"};

// "Ошибки двигателя", a window over the main window.
const DialogTemplateOf<EngineCodesControl>& EngineCodesWindowTemplate();

}  // namespace drunvale
