// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "dialogs/fill_up_dialog_template.h"
#include "journal_dialogs/fill_up_dialog.h"
#include "qt/dialog_widgets.h"
#include "qt/owned_dialog.h"

namespace drunvale {

// "Заправка": the counted litres, the litres the pump says, and the factor they propose.
// "Записать" hands the proposal to `record`, which returns what could not be stored ("" when
// all was); exec() gives kRecorded or kCancelled.
class FillUpWindow : public OwnedDialog {
  Q_OBJECT

 public:
  static constexpr int kRecorded = 1;
  static constexpr int kCancelled = 2;
  using Recorder = std::function<std::string(const FillProposal& fill)>;

  FillUpWindow(QWidget* parent, const TankState& tank, uint32_t factor, Recorder record);

  QWidget* Control(FillUpControl control) const { return controls_[control]; }
  const FillUpDialog& Logic() const { return logic_; }

 public slots:
  void reject() override { done(kCancelled); }

 private:
  void Show();
  void Record();

  FillUpDialog logic_;
  Recorder record_;
  DialogWidgetsOf<FillUpControl> controls_;
};

}  // namespace drunvale
