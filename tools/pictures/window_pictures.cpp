// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_pictures.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <string>
#include <vector>

#include "dash/dash_figures.h"
#include "dialogs/panel_column.h"
#include "pictures/a_week_of_trips.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_user_store.h"
#include "qt/about_box.h"
#include "qt/dash_window.h"
#include "qt/engine_codes_window.h"
#include "qt/fill_up_window.h"
#include "qt/journal_window.h"
#include "qt/main_window.h"
#include "qt/settings_window.h"
#include "settings/settings.h"
#include "sim/drive_profile.h"
#include "sound/testing/recording_audio.h"
#include "trip/trip_computer.h"

namespace drunvale {
namespace {

constexpr const char* kTotals = "1:02:03 \n12.34 \n56.78 \n1.23 \n36.90 ";
constexpr const char* kRates = "48.20 \n61.50 \n6.40 \n192.00 \n13.28 \n398.34 ";
constexpr const char* kNoRates = "- \n- \n- \n- \n- \n- ";

// The main window during a trip, the indicator in either unit; stale: the control unit has
// said nothing for 4 s.
std::unique_ptr<QWidget> MainWindowOnATrip(bool litresPerHour, bool stale = false) {
  auto window = std::make_unique<MainWindow>();
  MainWindowSource source;
  source.indicatorText = [litresPerHour] { return litresPerHour ? "12.3" : "99+"; };
  source.indicatorColour = [litresPerHour, stale] {
    return IndicatorTextColour(litresPerHour, stale);
  };
  window->SetSource(source);
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

std::unique_ptr<QWidget> JournalOfAWeek() {
  JournalWindowSource source;
  source.read = [](std::string&) {
    return SummariseJournal(AWeekOfTrips(), {1714750000, 180}, 1714550000);
  };
  source.journalOn = [] { return true; };
  source.folder = "/home/driver/.local/share/Tembrook/Drunvale";
  source.file = source.folder + "/trips.csv";
  return std::make_unique<JournalWindow>(nullptr, std::move(source));
}

// The fill-up dialog with the pump's litres typed in.
std::unique_ptr<QWidget> FillUp(const char* pumped) {
  const TankState tank{38.42, 1714550000, {PastFill{41.0f, 1.03f}, PastFill{39.5f, 1.05f}}};
  auto window = std::make_unique<FillUpWindow>(nullptr, tank, 10420, nullptr);
  auto* edit = qobject_cast<QLineEdit*>(window->Control(FillUpControl::Pumped));
  edit->setText(pumped);
  emit edit->textEdited(pumped);
  return window;
}

// The codes window after the session read three codes, one pending, from a standard car that
// lights its lamp.
std::unique_ptr<QWidget> EngineCodes() {
  CodesReport report;
  report.codes = {{0x0130}, {0x0301}, {0x0171, true}};
  report.lampOn = true;
  report.lampCount = 2;
  auto answer = std::make_shared<std::optional<CodesReport>>();
  EngineCodesSource source;
  source.take = [answer] { return std::exchange(*answer, std::nullopt); };
  source.linkRunning = [] { return true; };
  auto window = std::make_unique<EngineCodesWindow>(nullptr, source);
  *answer = report;
  window->Tick();
  return window;
}

std::unique_ptr<QWidget> MainWindowMenuShown() {
  auto* window = new MainWindow;
  std::unique_ptr<QWidget> menu = window->MakeContextMenu();
  menu->setParent(nullptr, Qt::Popup);
  // The window goes with its menu, and stays hidden meanwhile.
  window->setParent(menu.get(), window->windowFlags());
  menu->adjustSize();
  return menu;
}

// The simulator's drive fed through the trip computer on a manual clock, a sample every 150 ms
// and a display refresh every 333 ms, as the program runs it: 17 minutes, which ends the jam
// (the first 12 minutes) and goes into town, with the control unit silent for 45 s at 14:00.
struct SimulatedDrive {
  static constexpr uint32_t kEndMs = 17 * 60000;
  static constexpr uint32_t kSilentFromMs = 14 * 60000;
  static constexpr uint32_t kSilentToMs = kSilentFromMs + 45000;

  ManualTickClock clock;
  SharedSettings settings;
  TripComputer trip{settings, clock, nullptr};
  ConsumptionHistory history;

  explicit SimulatedDrive(bool litresPerHour) {
    Settings defaults;
    settings.Set(defaults);
    trip.SetLitresPerHour(litresPerHour);
    const sim::DriveProfile profile;
    for (uint32_t ms = 0; ms <= kEndMs; ms += 1) {
      const bool silent = ms >= kSilentFromMs && ms < kSilentToMs;
      if (ms == kSilentFromMs) trip.PollingPaused();
      if (ms % 150 == 0 && !silent) {
        const sim::DriveState state = profile.At(ms / 1000.0);
        trip.AddSample(static_cast<float>(state.speedKmh), static_cast<float>(state.airKgh),
                       static_cast<float>(state.fuelLh), state.running);
      }
      if (ms % 333 == 0) history.Record(ms, trip.Snapshot());
      clock.Advance(1);
    }
  }
};

class PictureDash : private SimulatedDrive, public DashWindow {
 public:
  PictureDash(QSize size, bool night, bool litresPerHour)
      : SimulatedDrive(litresPerHour), DashWindow(Source(night, litresPerHour)) {
    resize(size);
  }

 private:
  DashSource Source(bool night, bool litresPerHour) {
    DashSource source;
    source.frame = [this, litresPerHour] {
      return MakeDashFrame(trip.Snapshot(), litresPerHour, settings.GetParameters());
    };
    source.history = &history;
    source.look = [] { return DashLook{}; };
    source.night = [night] { return night; };
    return source;
  }
};

const WindowPicture kPictures[] = {
    {"dash-800x480", "the dash on a 7-inch screen, by day, after a jam and a silence",
     [] { return std::make_unique<PictureDash>(QSize(800, 480), false, true); }},
    {"dash-800x480-night", "the same by night, at the stored brightness",
     [] { return std::make_unique<PictureDash>(QSize(800, 480), true, true); }},
    {"dash-1920x1080", "the dash full HD by day, in litres per 100 km",
     [] { return std::make_unique<PictureDash>(QSize(1920, 1080), false, false); }},
    {"dash-1920x1080-night", "the dash full HD by night, in litres per hour",
     [] { return std::make_unique<PictureDash>(QSize(1920, 1080), true, true); }},
    {"main-window", "the main window on a trip, in litres per hour",
     [] { return MainWindowOnATrip(true); }},
    {"main-window-per-100-km", "the main window on a trip, in litres per 100 km",
     [] { return MainWindowOnATrip(false); }},
    {"main-window-no-data", "the main window 4 s after the control unit fell silent",
     [] { return MainWindowOnATrip(true, true); }},
    {"about-box", "the About box", [] { return std::make_unique<AboutBox>(); }},
    {"settings-dialog", "the settings dialog as it opens", [] { return SettingsOnTab(0); }},
    {"settings-dialog-max-tab", "the settings dialog's Max tab in WAV mode, test on",
     [] { return SettingsOnTab(2); }},
    {"main-window-menu", "the main window's context menu", MainWindowMenuShown},
    {"journal-window", "the trip journal after a week of trips", JournalOfAWeek},
    {"fill-up-dialog", "the fill-up dialog proposing a new factor", [] { return FillUp("40,1"); }},
    {"fill-up-dialog-partial", "the fill-up dialog refusing a partial fill",
     [] { return FillUp("25"); }},
    {"engine-codes", "the engine codes of a car with its lamp lit", EngineCodes},
};

}  // namespace

std::span<const WindowPicture> WindowPictures() {
  return kPictures;
}

}  // namespace drunvale
