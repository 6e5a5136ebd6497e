// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_commands.h"
#include "app/main_view.h"
#include "dialogs/indicator_colours.h"
#include "dialogs/main_dialog_template.h"
#include "dialogs/main_menu.h"
#include "platform/display_keeper.h"
#include "qt/dash_window.h"
#include "qt/dialog_widgets.h"

class QCheckBox;
class QMenu;
class QSlider;

namespace drunvale {

class ConsumptionIndicator;
class StaticText;

// What the window shows beside its texts, from whoever owns the logic (the main controller in
// the program, fakes in tests).
struct MainWindowSource {
  std::function<std::string()> indicatorText;
  std::function<Rgb()> indicatorColour;
  // What the full-screen dash shows; its digits take the indicator's colour when the source
  // gives none.
  DashSource dash;
};

// The main window "Drunvale <version>": the statistics panel, the indicator, the command buttons
// and the status row, laid out in dialog units of its own font. A view only: every command
// goes to the actions, every text comes through MainView.
class MainWindow : public QDialog, public MainView {
  Q_OBJECT

 public:
  static constexpr int kRefreshPeriodMs = 333;
  static constexpr int kClosedResult = kMainWindowClosed;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Where the buttons, the timer, the slider and the menu go, and the windows they open. Until
  // then they do nothing.
  void Bind(MainCommands& commands, MainWindowOpener& windows);
  void SetSource(MainWindowSource source);

  void SetColumn(PanelColumn column, const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetSummaryLine(const std::string& text) override;
  // Shown where the summary is, while that is empty (no port open).
  void SetCauseLine(const std::string& text) override;
  // A box of its own that waits for OK without holding up the window.
  void ShowNotice(const std::string& text) override;
  void ShowClosingNotice(const std::string& text) override;
  // Before the link's own text on the status line, while the figures are stale.
  void SetDataAge(std::optional<uint32_t> staleSeconds) override;
  void KeepScreenOn(bool on) override;
  void SetUnitCaption(const std::string& caption) override;
  void RepaintIndicator() override;
  void StartRefreshTimer() override;
  void StopRefreshTimer() override;
  void PostToUiThread(std::function<void()> task) override;
  void RunBegins(const std::string& port, bool beep, bool dash) override;

  // "Пикать" set from the command line; as if ticked before anything else happened.
  void SetBeepTicked(bool on);
  // What each tick of the refresh timer does.
  void RefreshTick();
  // The context menu as a right click opens it, its ticks as the actions say now; its commands
  // run as chosen.
  std::unique_ptr<QMenu> MakeContextMenu();
  // F11 and the menu: the dash full screen on this window's screen, or closed again.
  void ToggleDash();
  // Null until the dash was first opened.
  DashWindow* Dash() const { return dash_; }
  // What keeps the display on while the link runs; the desktop's screen saver by default.
  void SetDisplayKeeper(std::unique_ptr<DisplayKeeper> keeper);

  // The widget of a control; T* when it is one, else null.
  QWidget* Control(MainControl control) const { return controls_[control]; }
  template <class T>
  T* Control(MainControl control) const {
    return controls_.Get<T>(control);
  }
  const DialogUnits& Units() const { return controls_.Units(); }
  bool RefreshTimerActive() const { return refreshTimer_.isActive(); }
  ConsumptionIndicator* Indicator() const { return indicator_; }
  QSlider* VolumeSlider() const { return slider_; }

 public slots:
  // Esc means nothing to this window; it closes only through its close box.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ConnectControls();
  void FitStatusRow();
  void ShowStatus();
  void Press(MainControl control);

  MainCommands* commands_ = nullptr;
  MainWindowOpener* windows_ = nullptr;
  MainWindowSource source_;
  ConsumptionIndicator* indicator_ = nullptr;  // made while controls_ is built, after it is set
  DashWindow* dash_ = nullptr;                 // a window of its own, owned by this one
  DialogWidgetsOf<MainControl> controls_;
  QTimer refreshTimer_;
  StaticText* status_ = nullptr;
  StaticText* summary_ = nullptr;
  QRect statusBox_;
  QRect summaryBox_;
  QString summaryText_;
  QString cause_;
  std::string linkStatus_;
  std::optional<uint32_t> dataAge_;
  std::string linkStatusShown_;  // as shown: the data's age, then the link's text
  std::unique_ptr<DisplayKeeper> displayKeeper_;
  StaticText* unitCaption_ = nullptr;
  QCheckBox* beep_ = nullptr;
  QSlider* slider_ = nullptr;
  std::optional<int> closeResult_;
  bool placed_ = false;
};

}  // namespace drunvale
