// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include "app/engine_codes_dialog.h"
#include "dialogs/engine_codes_window_template.h"
#include "qt/dialog_widgets.h"
#include "qt/owned_dialog.h"

namespace drunvale {

// "Ошибки двигателя": the codes the running session read, with a clear that asks first.
class EngineCodesWindow : public OwnedDialog {
  Q_OBJECT

 public:
  EngineCodesWindow(QWidget* parent, EngineCodesSource source);

  template <class T>
  T* Control(EngineCodesControl control) const {
    return controls_.Get<T>(control);
  }
  const EngineCodesDialog& Logic() const { return logic_; }
  // The view's timer, also for tests that drive it by hand.
  void Tick();

 private:
  void Show();
  void AskAndClear();

  EngineCodesDialog logic_;
  DialogWidgetsOf<EngineCodesControl> controls_;
  QTimer timer_;
};

}  // namespace drunvale
