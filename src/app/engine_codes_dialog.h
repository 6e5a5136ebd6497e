// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/trouble_codes.h"

namespace drunvale {

// The buttons of the question before a clear, where the view names them itself.
inline constexpr std::string_view kClearCodesYes = "Стереть";
inline constexpr std::string_view kClearCodesNo = "Отмена";

// What the engine codes window asks of the running link.
struct EngineCodesSource {
  std::function<void(CodesMailbox::Ask ask)> ask;  // Ask::None withdraws a request
  std::function<std::optional<CodesReport>()> take;
  std::function<bool()> linkRunning;
};

// What the window's controls show.
struct EngineCodesTexts {
  std::string lamp;
  std::vector<std::vector<std::string>> rows;  // code, system, state
  std::string status;
  bool readEnabled = false;
  bool clearEnabled = false;
};

// The engine codes window without its window. It reads the codes when it opens; the running
// session serves the request between two polls, and the view's timer brings the answer in.
// A request still unanswered when the window closes is withdrawn, so that no clear is done
// later behind the driver's back.
class EngineCodesDialog {
 public:
  // The views' timer: 333 ms.
  static constexpr int kTicksPerSecond = 3;

  explicit EngineCodesDialog(EngineCodesSource source);
  ~EngineCodesDialog();
  EngineCodesDialog(const EngineCodesDialog&) = delete;
  EngineCodesDialog& operator=(const EngineCodesDialog&) = delete;

  void Read();
  // After the driver said yes to kClearCodesWarning.
  void Clear();
  // The view's timer; true when the texts changed.
  bool Tick();

  const EngineCodesTexts& Texts() const { return texts_; }

 private:
  void Ask(CodesMailbox::Ask ask);
  void Show(const CodesReport& report);

  EngineCodesSource source_;
  EngineCodesTexts texts_;
  CodesMailbox::Ask waitingFor_ = CodesMailbox::Ask::None;
  int waitedTicks_ = 0;
};

}  // namespace drunvale
