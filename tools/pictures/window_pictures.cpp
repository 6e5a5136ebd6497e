// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_pictures.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <string>
#include <vector>

#include "dialogs/panel_column.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_user_store.h"
#include "settings/settings.h"
#include "sound/testing/recording_audio.h"
#include "ui/about_dialog.h"
#include "ui/main_window.h"
#include "ui/settings_dialog/settings_window.h"

namespace drunvale {
namespace {

constexpr const char* kTotals = "1:02:03 \n12.34 \n56.78 \n1.23 \n36.90 ";
constexpr const char* kRates = "48.20 \n61.50 \n6.40 \n192.00 \n13.28 \n398.34 ";
constexpr const char* kNoRates = "- \n- \n- \n- \n- \n- ";

// The main window during a trip, the indicator in either unit; stale: the control unit has
// said nothing for 4 s.
std::unique_ptr<QWidget> MainWindowOnATrip(bool litresPerHour, bool stale = false) {
  auto window = std::make_unique<MainWindow>();
  MainWindowActions actions;
  actions.indicatorText = [litresPerHour] { return litresPerHour ? "12.3" : "99+"; };
  actions.indicatorColour = [litresPerHour, stale] {
    return IndicatorTextColour(litresPerHour, stale);
  };
  window->SetActions(actions);
  for (PanelColumn c :
       {PanelColumn::TotalsAll, PanelColumn::TotalsInJam, PanelColumn::TotalsOutsideJam}) {
    window->SetColumn(c, kTotals);
  }
  for (PanelColumn c : {PanelColumn::RatesAll, PanelColumn::RatesOutsideJam,
                        PanelColumn::RatesMaximum, PanelColumn::RatesCurrent}) {
    window->SetColumn(c, kRates);
  }
  window->SetColumn(PanelColumn::RatesInJam, kNoRates);
  if (!litresPerHour) {
    window->SetUnitCaption("<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/100)");
  }
  window->SetStatusLine("Опрос");
  window->SetSummaryLine("/dev/ttyUSB0 : 10400 : Ошибок: 0");
  if (stale) window->SetDataAge(4);
  return window;
}

// The settings dialog over doubles: a memory store, a silent sound device, two ports. The
// doubles come first, as the window reads them while it opens.
struct SettingsDoubles {
  SharedSettings settings;
  MemoryUserStore store;
  ManualHighResClock clock;
  RecordingAudio audio{&clock};

  SettingsDialogOptions Options() {
    SettingsDialogOptions options;
    options.listPorts = [] {
      return std::vector<SerialPortName>{
          {"/dev/ttyS0"},
          {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0"}};
    };
    options.clock = &clock;
    options.audio = &audio;
    return options;
  }
};

class PictureSettingsWindow : private SettingsDoubles, public SettingsWindow {
 public:
  PictureSettingsWindow() : SettingsWindow(nullptr, settings, store, Options()) {}
};

std::unique_ptr<QWidget> SettingsOnTab(int tab) {
  auto window = std::make_unique<PictureSettingsWindow>();
  auto* tabs = qobject_cast<QTabWidget*>(window->Control(SettingsControl::Tabs));
  if (tab == 2) {
    // The Max tab shows the mode chosen on the Min tab, here a WAV file, with the test on.
    tabs->setCurrentIndex(1);
    qobject_cast<QRadioButton*>(window->Control(SettingsControl::WavRadio))->click();
    tabs->setCurrentIndex(2);
    qobject_cast<QPushButton*>(window->Control(SettingsControl::Test))->click();
  } else {
    tabs->setCurrentIndex(tab);
  }
  return window;
}

const WindowPicture kPictures[] = {
    {"main-window", "the main window on a trip, in litres per hour",
     [] { return MainWindowOnATrip(true); }},
    {"main-window-per-100-km", "the main window on a trip, in litres per 100 km",
     [] { return MainWindowOnATrip(false); }},
    {"main-window-no-data", "the main window 4 s after the control unit fell silent",
     [] { return MainWindowOnATrip(true, true); }},
    {"about-box", "the About box", [] { return std::make_unique<AboutDialog>(); }},
    {"settings-dialog", "the settings dialog as it opens", [] { return SettingsOnTab(0); }},
    {"settings-dialog-max-tab", "the settings dialog's Max tab in WAV mode, test on",
     [] { return SettingsOnTab(2); }},
};

}  // namespace

std::span<const WindowPicture> WindowPictures() {
  return kPictures;
}

}  // namespace drunvale
