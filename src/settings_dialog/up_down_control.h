// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace drunvale {

// An edit with an up-down control at its right edge, as the settings dialog sees the pair: the
// edit's text, the control's range and its position. The value is the number in the edit when
// that is a whole number within the range, and otherwise the last such number, so a value out
// of range never reaches the settings through the control.
class UpDownControl {
 public:
  // A control that does not write its buddy keeps a position of its own, apart from the text.
  UpDownControl(int32_t lower, int32_t upper, bool writesBuddy = true);

  void SetRange(int32_t lower, int32_t upper);
  int32_t Lower() const { return lower_; }
  int32_t Upper() const { return upper_; }

  // The edit's text, as typed or as written by the dialog.
  void SetText(std::string text);
  const std::string& Text() const { return text_; }

  // Clamps into the range; a control that writes its buddy shows the number in the edit.
  void SetPosition(int64_t position);
  // One press of an arrow (+1 up, -1 down); stops at the ends. False when the position did not
  // move, and then nothing is written.
  bool Step(int direction);
  int32_t Value() const { return position_; }

  bool enabled = true;

 private:
  int32_t lower_ = 0;
  int32_t upper_ = 0;
  bool writesBuddy_;
  int32_t position_ = 0;
  std::string text_;
};

}  // namespace drunvale
