// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "journal_dialogs/fill_up_dialog.h"

namespace drunvale {

// The fill-up dialog in a terminal, key by key: `f` asks for the litres the pump says, Enter
// shows what recording would do, `y` records, `n` or Esc lets it be.
class FillPrompt {
 public:
  struct Io {
    std::function<void(const std::string&)> printLine;
    std::function<void(const std::string&)> echo;  // as typed, no line break
    std::function<TankState()> tank;
    std::function<uint32_t()> factor;
    // Returns what could not be stored ("" when all was).
    std::function<std::string(const FillProposal&)> record;
  };

  explicit FillPrompt(Io io) : io_(std::move(io)) {}

  bool Active() const { return dialog_.has_value(); }
  void Begin();
  void Key(char key);

 private:
  void TakeLitres();
  void Confirm(char key);
  void End(const std::string& line);

  Io io_;
  std::optional<FillUpDialog> dialog_;
  std::string litres_;
  bool confirming_ = false;
};

}  // namespace drunvale
