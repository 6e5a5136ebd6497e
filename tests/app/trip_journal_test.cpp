// SPDX-License-Identifier: GPL-3.0-or-later
// The trip beyond the panel, through the main controller on manual clocks: the fuel factor,
// the journal's rows at "Обнулить", at closing and after a power cut, a folder that will not
// take them, and fill-ups.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_core.h"
#include "app/fake_view.h"
#include "app/main_controller.h"
#include "journal/csv.h"
#include "journal/journal_rows.h"
#include "journal/journal_store.h"
#include "journal/journal_writer.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/manual_wall_clock.h"
#include "platform/testing/memory_data_folder.h"
#include "platform/testing/memory_user_store.h"
#include "settings/settings.h"
#include "sound/testing/recording_audio.h"

namespace drunvale {
namespace {

using Status = FileResult::Status;

OpenedPort NoPort(const std::string&) {
  return OpenedPort::Failed({OpenFailure::NoDevice});
}

// What lasts from one run of the program to the next: the store, the data folder, the clocks.
struct Car {
  ManualTickClock tick{1000};
  ManualHighResClock hiRes;
  ManualWallClock wall{{1714540530, 180}};  // 2024-05-01 08:15:30 +03:00
  RecordingAudio audio;
  MemoryUserStore store;
  MemoryDataFolder folder;

  std::vector<std::string> Rows(std::string_view file) const {
    std::vector<std::string> rows;
    if (const std::string* text = folder.File(file)) {
      for (std::string_view line : SplitLines(*text))
        rows.emplace_back(line);
    }
    if (!rows.empty()) rows.erase(rows.begin());  // the header
    return rows;
  }
};

AppPlatform PlatformOf(Car& car, DataFolder* folder, RegionalNumbers regional, bool records,
                       SerialPortOpener opener) {
  AppPlatform platform{&car.tick, &car.hiRes, &car.audio, std::move(opener), folder, &car.wall};
  platform.regionalNumbers = regional;
  platform.keepsRecords = records;
  return platform;
}

// One run of the program.
struct ProgramRun {
  explicit ProgramRun(Car& theCar, RegionalNumbers regional = {}, bool keepsRecords = true,
                      SerialPortOpener opener = NoPort)
      : car(theCar),
        folder(car.folder.Another()),
        app(PlatformOf(car, folder.get(), regional, keepsRecords, std::move(opener))),
        controller(app, car.store, view) {
    controller.Initialise();
  }

  // Samples a second apart, the refresh timer ticking with them.
  void Drive(int seconds, float speed = 60, float air = 20, float fuel = 10) {
    for (int i = 0; i < seconds; ++i) {
      car.tick.Advance(1000);
      car.wall.Advance(1);
      app.OnSample(speed, air, fuel, true);
      controller.OnRefreshTimer();
    }
  }
  TripFigures Trip() const { return app.trip.Snapshot().Everywhere(); }

  Car& car;
  std::unique_ptr<MemoryDataFolder> folder;
  AppCore app;
  FakeView view;
  MainController controller;
};

std::vector<std::string> Fields(const std::string& row) {
  std::vector<std::string> fields;
  SplitCsvLine(row, fields);
  return fields;
}

std::string Fixed2(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

void PutDword(MemoryUserStore& store, const char* name, uint32_t value) {
  store.Put(kSettingsKeyPath, name, kRegDword,
            {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

TEST(TripJournal, TheFactorScalesTheFuelFlowButNotTheAir) {
  Car car;
  PutDword(car.store, kFuelFactorName, 11000);
  {
    ProgramRun run(car);
    run.Drive(361, 60, 20, 10);
    EXPECT_FLOAT_EQ(run.app.trip.Snapshot().Current.Fuel, 11.0f);
    EXPECT_FLOAT_EQ(run.app.trip.Snapshot().Current.Air, 20.0f);
    EXPECT_NEAR(run.Trip().Fuel, 1.1, 1e-4);  // an hour's tenth at 10 l/h, by 1.1
    EXPECT_NEAR(run.Trip().Air, 2.0, 1e-4);
  }
  PutDword(car.store, kFuelFactorName, 20000);  // out of range: none
  ProgramRun run(car);
  run.Drive(2, 60, 20, 10);
  EXPECT_FLOAT_EQ(run.app.trip.Snapshot().Current.Fuel, 10.0f);
}

TEST(TripJournal, ResetAndClosingEachAppendARowWithThePanelsFigures) {
  Car car;
  {
    ProgramRun run(car);
    run.Drive(61);
    const TripFigures ended = run.Trip();
    run.controller.Reset();
    // The ended trip was shown whole once more, then the new one's zeros.
    EXPECT_EQ(run.view.columns[PanelColumn::TotalsAll], "0:00:00 \n0.00 \n0.00 \n0.00 \n0.00 ");
    ASSERT_EQ(car.Rows(kTripsFile).size(), 1u);
    std::vector<std::string> row = Fields(car.Rows(kTripsFile)[0]);
    EXPECT_EQ(row[0], "2024-05-01T08:15:31+03:00");  // the first sample's tick
    EXPECT_EQ(row[1], "2024-05-01T08:16:31+03:00");
    EXPECT_EQ(row[2], "обнулено");
    EXPECT_EQ(row[3], "0:01:00");
    EXPECT_EQ(row[6], Fixed2(ended.Distance));
    EXPECT_EQ(row[9], Fixed2(ended.Fuel));
    EXPECT_EQ(row[24], "1.0000");
    EXPECT_EQ(car.folder.File(kCheckpointFile), nullptr);

    const std::string before = *car.folder.File(kTripsFile);
    run.Drive(31);
    run.controller.Stop();
    run.controller.Close();
    run.controller.Close();
    ASSERT_EQ(car.Rows(kTripsFile).size(), 2u);
    EXPECT_EQ(Fields(car.Rows(kTripsFile)[1])[2], "выход");
    EXPECT_EQ(Fields(car.Rows(kTripsFile)[1])[3], "0:00:30");
    EXPECT_EQ(car.folder.File(kTripsFile)->rfind(before, 0), 0u) << "appending rewrote";
  }
  // A run in which the engine never ran leaves no row.
  ProgramRun idle(car);
  idle.controller.Close();
  EXPECT_EQ(car.Rows(kTripsFile).size(), 2u);
}

TEST(TripJournal, APowerCutLeavesACheckpointThatTheNextStartTurnsIntoARow) {
  Car car;
  PutDword(car.store, kFuelFactorName, 10500);
  {
    auto run = std::make_unique<ProgramRun>(car);
    run->Drive(65);
    ASSERT_NE(car.folder.File(kCheckpointFile), nullptr);
    EXPECT_TRUE(car.Rows(kTripsFile).empty());
    // The power goes: no Close, no Stop.
  }
  ProgramRun next(car);
  ASSERT_EQ(car.Rows(kTripsFile).size(), 1u);
  const std::vector<std::string> row = Fields(car.Rows(kTripsFile)[0]);
  EXPECT_EQ(row[2], "сбой питания");
  EXPECT_EQ(row[1], "2024-05-01T08:16:30+03:00");  // the last checkpoint, 60 s after the start
  EXPECT_EQ(row[3], "0:00:59");
  EXPECT_EQ(row[24], "1.0500");
  EXPECT_EQ(car.folder.File(kCheckpointFile), nullptr);
  EXPECT_EQ(next.Trip(), TripFigures{});
}

TEST(TripJournal, AFolderThatWillNotTakeRowsNeverStopsTheSamplesAndIsSaidOnce) {
  Car car;
  ProgramRun run(car);
  car.folder.FailWrites(Status::NoSpace);
  run.Drive(40);
  run.controller.Reset();
  run.Drive(100);
  run.controller.Reset();
  run.Drive(40);
  EXPECT_GT(run.Trip().Fuel, 0.1f) << "samples stopped";
  ASSERT_EQ(run.view.notices.size(), 1u);
  EXPECT_NE(run.view.notices[0].find("диск полон"), std::string::npos) << run.view.notices[0];

  // Room again: the rows kept back go in the order their trips ended.
  car.folder.FailWrites(Status::Ok);
  run.Drive(31);
  ASSERT_EQ(car.Rows(kTripsFile).size(), 2u);
  EXPECT_EQ(Fields(car.Rows(kTripsFile)[0])[3], "0:00:39");
  EXPECT_EQ(Fields(car.Rows(kTripsFile)[1])[3], "0:01:39");

  car.folder.FailWrites(Status::NoAccess);
  run.controller.Reset();
  ASSERT_EQ(run.view.notices.size(), 2u);
  EXPECT_NE(run.view.notices[1].find("нет права на запись в " + car.folder.Path()),
            std::string::npos);

  // Rows still waiting when the program closes are said in the window before it goes.
  run.Drive(5);
  run.controller.Close();
  ASSERT_EQ(run.view.closingNotices.size(), 1u);
  EXPECT_NE(run.view.closingNotices[0].find("Не записано в журнал строк: 2"), std::string::npos)
      << run.view.closingNotices[0];
}

TEST(TripJournal, OneCopyWritesTheJournalAndOffMeansNothingIsWritten) {
  Car car;
  ProgramRun first(car);
  first.Drive(40);  // checkpointed: this copy keeps the journal
  ProgramRun second(car);
  second.Drive(10);
  second.controller.Reset();
  ASSERT_EQ(second.view.notices.size(), 1u);
  EXPECT_NE(second.view.notices[0].find("другая копия"), std::string::npos);
  EXPECT_TRUE(car.Rows(kTripsFile).empty());

  EXPECT_TRUE(first.controller.Journal().SetJournalOn(false));
  EXPECT_EQ(car.folder.File(kCheckpointFile), nullptr);
  const int writes = car.folder.Writes();
  first.Drive(40);
  first.controller.Reset();
  EXPECT_EQ(car.folder.Writes(), writes);
  EXPECT_FALSE(LoadJournalOn(car.store));
}

TEST(TripJournal, AFillUpStartsTheCounterAndAFullOneMovesTheFactorForTheNextSamples) {
  Car car;
  {
    ProgramRun run(car);
    EXPECT_FALSE(run.controller.FillUpTank().Started());
    FillProposal first =
        ProposeFill(run.controller.FillUpTank(), run.controller.FuelFactor(), 40.0, false);
    ASSERT_EQ(first.verdict, FillVerdict::First);
    EXPECT_EQ(run.controller.RecordFill(first), "");
    // 1001 samples at 36 l/h: ten litres, "Обнулить" in the middle.
    run.Drive(501, 60, 20, 36);
    run.controller.Reset();
    run.Drive(501, 60, 20, 36);
    run.controller.Close();
  }
  ProgramRun run(car);
  const TankState tank = run.controller.FillUpTank();
  EXPECT_NEAR(tank.litres, 10.0, 1e-3);  // kept across runs and through "Обнулить"
  const FillProposal full = ProposeFill(tank, run.controller.FuelFactor(), 10.5, false);
  ASSERT_EQ(full.verdict, FillVerdict::Full);
  EXPECT_EQ(full.after, 10500u);
  EXPECT_EQ(run.controller.RecordFill(full), "");
  EXPECT_EQ(LoadFuelFactor(car.store), 10500u);
  EXPECT_EQ(run.controller.FillUpTank().litres, 0);
  run.Drive(2, 60, 20, 10);
  EXPECT_FLOAT_EQ(run.app.trip.Snapshot().Current.Fuel, 10.5f);

  ASSERT_EQ(car.Rows(kFillsFile).size(), 2u);
  EXPECT_EQ(Fields(car.Rows(kFillsFile)[0])[5], "первая");
  const std::vector<std::string> row = Fields(car.Rows(kFillsFile)[1]);
  EXPECT_EQ(row,
            (std::vector<std::string>{row[0], "10.50", "10.00", "1.0000", "1.0500", "полная"}));
}

TEST(TripJournal, RecoveringTwiceNeverWritesATripOrAFillUpTwice) {
  Car car;
  {
    ProgramRun run(car);
    run.Drive(40);
    run.controller.Reset();
    // The power goes before the checkpoint's removal reached the disk: it comes back.
    car.folder.LoseLastRemoval();
    ASSERT_NE(car.folder.File(kCheckpointFile), nullptr);
  }
  {
    ProgramRun next(car);
    EXPECT_EQ(car.Rows(kTripsFile).size(), 1u);
  }
  // A checkpoint holding rows that are in their files already, and one that is not.
  const std::string written = car.Rows(kTripsFile)[0];
  const std::string fill = "2024-05-01T09:00:00+03:00,40.00,0.00,1.0000,1.0000,первая";
  ASSERT_TRUE(car.folder.AppendLine(kFillsFile, FillsHeader(), fill).Ok());
  std::string other = written;
  other.replace(0, 19, "2024-05-02T07:00:00");
  car.folder.Put(kCheckpointFile, std::string(kCheckpointTitle) + "\nended " + written + "\nfill " +
                                      fill + "\ntrip " + other + "\n");
  ProgramRun again(car);
  EXPECT_EQ(car.Rows(kTripsFile), (std::vector<std::string>{written, other}));
  EXPECT_EQ(car.Rows(kFillsFile).size(), 1u);
}

TEST(TripJournal, ASecondCopyKeepsItsTripsAndWritesThemOnceTheFirstHasGone) {
  Car car;
  auto first = std::make_unique<ProgramRun>(car);
  first->Drive(40);  // checkpointed: this copy keeps the journal
  ProgramRun second(car);
  second.Drive(10);
  second.controller.Reset();
  ASSERT_EQ(second.view.notices.size(), 1u);
  EXPECT_NE(second.view.notices[0].find("другая копия"), std::string::npos);
  first->controller.Close();
  first.reset();
  ASSERT_EQ(car.Rows(kTripsFile).size(), 1u);
  // The next checkpoint asks again, and the trip kept meanwhile goes in.
  second.Drive(31);
  ASSERT_EQ(car.Rows(kTripsFile).size(), 2u);
  EXPECT_EQ(Fields(car.Rows(kTripsFile)[1])[3], "0:00:09");
  EXPECT_EQ(second.view.notices.size(), 1u);
}

TEST(TripJournal, ACheckpointThisProgramDoesNotKnowIsKeptAsideAndNeverOverwritten) {
  Car car;
  const std::string newer = "drunvale checkpoint 2\nsomething newer\n";
  car.folder.Put(kCheckpointFile, newer);
  car.folder.Put(JournalWriter::kKeptCheckpointFile, "an older one");
  ProgramRun run(car);
  ASSERT_NE(car.folder.File("checkpoint-kept-2.txt"), nullptr);
  EXPECT_EQ(*car.folder.File("checkpoint-kept-2.txt"), newer);
  EXPECT_EQ(*car.folder.File(JournalWriter::kKeptCheckpointFile), "an older one");
  ASSERT_EQ(run.view.notices.size(), 1u);
  EXPECT_NE(run.view.notices[0].find("checkpoint-kept-2.txt"), std::string::npos);
  run.Drive(40);
  EXPECT_EQ(*car.folder.File("checkpoint-kept-2.txt"), newer);
  ASSERT_NE(car.folder.File(kCheckpointFile), nullptr);
  EXPECT_TRUE(car.folder.File(kCheckpointFile)->starts_with(kCheckpointTitle));
}

TEST(TripJournal, TheDemoLeavesNoTraceInTheJournalTheTankOrTheFactor) {
  Car car;
  ProgramRun demo(car, {}, false);
  const FillProposal first = ProposeFill(demo.controller.FillUpTank(), 10000, 40.0, false);
  EXPECT_EQ(demo.controller.RecordFill(first), "");
  demo.Drive(501, 60, 20, 72);  // ten litres
  const FillProposal full = ProposeFill(demo.controller.FillUpTank(), 10000, 10.5, false);
  ASSERT_EQ(full.verdict, FillVerdict::Full);
  EXPECT_EQ(demo.controller.RecordFill(full), "");
  demo.Drive(40);
  demo.controller.Reset();
  demo.controller.Close();
  EXPECT_EQ(car.folder.File(kTripsFile), nullptr);
  EXPECT_EQ(car.folder.File(kFillsFile), nullptr);
  EXPECT_EQ(car.folder.File(kCheckpointFile), nullptr);
  EXPECT_FALSE(LoadTank(car.store).Started());
  EXPECT_EQ(LoadFuelFactor(car.store), 10000u);
  std::string problem;
  demo.controller.Journal().ReadJournal(problem);
  EXPECT_EQ(problem, "В демонстрации журнал не ведётся.");
}

TEST(TripJournal, ANewFileTakesTheRegionsFormAndAnOldOneKeepsItsOwn) {
  Car russian;
  {
    ProgramRun run(russian, {';', ','});
    run.Drive(40);
    run.controller.Reset();
  }
  const std::string* file = russian.folder.File(kTripsFile);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->starts_with(TripsHeader(';'))) << *file;
  std::vector<std::string> fields;
  SplitCsvLine(russian.Rows(kTripsFile)[0], fields, ';');
  ASSERT_EQ(fields.size(), 27u);
  EXPECT_EQ(fields[24], "1,0000");
  EXPECT_NE(fields[6].find(','), std::string::npos);
  // Read back in any region, and a file begun in one keeps its form in another.
  ProgramRun english(russian, {',', '.'});
  english.Drive(40);
  english.controller.Reset();
  std::string problem;
  const JournalContents contents = english.controller.Journal().ReadJournal(problem);
  EXPECT_EQ(contents.trips.size(), 2u);
  EXPECT_EQ(contents.damagedLines, 0);
  SplitCsvLine(russian.Rows(kTripsFile)[1], fields, ';');
  EXPECT_EQ(fields.size(), 27u);
}

// The data folder, telling another thread when a row has gone in.
class WatchedFolder final : public DataFolder {
 public:
  explicit WatchedFolder(DataFolder& inner) : inner_(inner) {}
  std::string Path() const override { return inner_.Path(); }
  std::string PathOf(std::string_view name) const override { return inner_.PathOf(name); }
  FileResult Read(std::string_view name, std::string& bytes) override {
    return inner_.Read(name, bytes);
  }
  FileResult AppendLine(std::string_view name, std::string_view header,
                        std::string_view line) override {
    const FileResult result = inner_.AppendLine(name, header, line);
    appended = true;
    return result;
  }
  FileResult Replace(std::string_view name, std::string_view bytes) override {
    return inner_.Replace(name, bytes);
  }
  FileResult Remove(std::string_view name) override { return inner_.Remove(name); }
  FileResult Rename(std::string_view name, std::string_view to) override {
    return inner_.Rename(name, to);
  }
  FileResult Claim() override { return inner_.Claim(); }

  std::atomic<bool> appended{false};

 private:
  DataFolder& inner_;
};

TEST(TripJournal, ClosingWritesTheRowBeforeWaitingForTheLinksGoodbye) {
  Car car;
  WatchedFolder folder(car.folder);
  // An adapter whose opening hangs until a row is in: closing would wait for the link in vain
  // if it wrote the row only once the link had ended.
  auto opener = [&](const std::string&) {
    for (int i = 0; i < 4000 && !folder.appended; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return OpenedPort::Failed({OpenFailure::NoDevice});
  };
  AppCore app(PlatformOf(car, &folder, {}, true, opener));
  FakeView view;
  MainController controller(app, car.store, view);
  controller.Initialise();
  controller.Start(false);
  for (int i = 0; i < 5; ++i) {
    car.tick.Advance(1000);
    car.wall.Advance(1);
    app.OnSample(60, 20, 10, true);
    controller.OnRefreshTimer();
  }
  controller.Close();
  EXPECT_EQ(car.Rows(kTripsFile).size(), 1u);
  ASSERT_FALSE(view.statuses.empty());
  EXPECT_EQ(view.statuses.back(), "Соединение не установлено.");
}

}  // namespace
}  // namespace drunvale
