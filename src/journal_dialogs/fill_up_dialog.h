// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "journal/fill_up.h"

namespace drunvale {

// What the fill-up dialog's controls show.
struct FillUpDialogControls {
  std::string counted;  // "35.20 л", or that the counter has not started
  std::string pumped;
  bool notFull = false;
  bool notFullEnabled = false;
  std::string factor;   // "1.0000", or "1.0000 → 1.0420" when a fill-up would move it
  std::string message;  // what "Записать" would do, or why it cannot (one or two lines)
  bool recordEnabled = false;
};

// The fill-up dialog without its window: the driver types the litres the pump says, the
// dialog shows the count beside them and what recording would make of the factor. Nothing
// changes until the window hands Proposal() to the controller after "Записать".
class FillUpDialog {
 public:
  // The tank counter with the running trip in it, and the factor in force.
  FillUpDialog(const TankState& tank, uint32_t factor);

  void TextChanged(std::string pumped);
  void Toggled(bool notFull);

  const FillUpDialogControls& Controls() const { return controls_; }
  // What "Записать" records; only when Recordable().
  const FillProposal& Proposal() const { return proposal_; }

 private:
  void Update();

  TankState tank_;
  uint32_t factor_;
  FillProposal proposal_;
  FillUpDialogControls controls_;
};

}  // namespace drunvale
