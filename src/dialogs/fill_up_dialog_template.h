// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/dialog_template.h"

namespace drunvale {

// The fill-up dialog's controls, in template order.
enum class FillUpControl : int {
  CountedLabel,
  Counted,  // litres counted since the last fill-up
  PumpedLabel,
  Pumped,  // litres the pump says, typed by the driver
  LitresLabel,
  NotFull,  // "Бак залит не полностью"
  FactorLabel,
  Factor,   // the factor in force, and the proposal beside it
  Message,  // what recording would do, or why it cannot
  Record,   // identifier 1
  Cancel,   // identifier 2: Esc and the close box act as it does
};

// "Заправка", a dialog over the main window.
const DialogTemplateOf<FillUpControl>& FillUpDialogTemplate();

}  // namespace drunvale
