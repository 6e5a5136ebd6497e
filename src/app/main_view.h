// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogs/panel_column.h"

namespace drunvale {

// What the main window ends with after a normal close, as the dialog always has.
inline constexpr int kMainWindowClosed = 2;
// What the settings dialog ends with when it was closed with "Сохранить".
inline constexpr int kSettingsSaved = 1;

// What the controller needs of a window (or of the console): it sets texts and asks for
// repaints; the view forwards the user's commands to the controller. All calls come on the
// view's own (UI) thread, except PostToUiThread, which any thread may call and which must
// never block.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetColumn(PanelColumn column, const std::string& text) = 0;
  virtual void SetStatusLine(const std::string& text) = 0;
  // The cause line: why the status line says what it says (a port that would not open, or was
  // lost, and what to do), or "" when there is nothing to explain. The status line keeps its
  // own text; the cause stands until the next one replaces it.
  virtual void SetCauseLine(const std::string& text) = 0;
  virtual void SetSummaryLine(const std::string& text) = 0;
  // Something the user should know that is no answer to what they did (the journal could not
  // be written): said once, without stopping anything. A view without a better place for it
  // shows it on the cause line.
  virtual void ShowNotice(const std::string& text) { SetCauseLine(text); }
  // The same as the window closes: a window holds it until the user has read it.
  virtual void ShowClosingNotice(const std::string& text) { ShowNotice(text); }
  // Whole seconds without a valid sample while the link runs, once the figures are stale, or
  // nullopt when they are live or the link is stopped. A window puts it on its status line
  // before the link's own text (StatusLineText in app/data_age.h).
  virtual void SetDataAge(std::optional<uint32_t> staleSeconds) = 0;
  // True from Start to Stop: the display must not blank or lock meanwhile. Nothing is held
  // while the link is stopped.
  virtual void KeepScreenOn(bool on) = 0;
  virtual void SetUnitCaption(const std::string& caption) = 0;
  // The indicator's text and colour come from the controller when the view paints.
  virtual void RepaintIndicator() = 0;
  // The run begins, before the link may start: `port` is in use, "Пикать" is ticked as `beep`
  // says, and the dash opens once the window shows when `dash` asks for it.
  virtual void RunBegins(const std::string& /*port*/, bool /*beep*/, bool /*dash*/) {}
  // A full refresh of the panel has been made (the console prints its tables then).
  virtual void PanelRefreshed() {}
  // The 333 ms refresh timer; starting it while it runs restarts it.
  virtual void StartRefreshTimer() = 0;
  virtual void StopRefreshTimer() = 0;
  virtual void PostToUiThread(std::function<void()> task) = 0;
};

}  // namespace drunvale
