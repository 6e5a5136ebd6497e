// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "emulator.h"
#include "link/link_test_outlets.h"
#include "settings/settings.h"
#include "sim/ecu_simulator.h"

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;
using sim::EcuSimConfig;
using sim::EcuSimulator;
using sim::RequestOutcome;
using sim::RequestRecord;
using Bytes = std::vector<uint8_t>;

const std::string kConnecting = "Соединяемся...";
const std::string kContact = "Попытка установить контакт с контроллером...";
const std::string kIdentification = "DRUNVALE ECUSIM Ver. 1.1  K-LINE\r\n";
const std::string kWarning = "Это неизвестный контроллер. Правильная работа НЕ ГАРАНТИРУЕТСЯ!!!";
const std::string kDisconnecting = "Отсоединяемся...";
const std::string kNotConnected = "Соединение не установлено.";

std::unique_ptr<EcuSimulator> StartSim(EcuSimConfig config = {}) {
  auto ecu = std::make_unique<EcuSimulator>(config);
  std::string error;
  EXPECT_TRUE(ecu->Start(&error)) << error;
  return ecu;
}

Settings LinkSettings(const std::string& port, uint16_t baud = 10400) {
  Settings s;
  s.Port = port;
  s.Params.BaudRate = baud;
  s.Params.RtsPulse = false;
  return s;
}

std::vector<Bytes> RequestData(const EcuSimulator& ecu) {
  std::vector<Bytes> data;
  for (const RequestRecord& r : ecu.Requests())
    data.push_back(r.data);
  return data;
}

// The link over a simulated control unit, with its texts and samples collected.
struct LinkRig {
  explicit LinkRig(uint16_t baud = 10400, EcuSimConfig config = {},
                   SerialPortOpener opener = OpenSystemSerialPort, LinkTimings timings = {})
      : ecu(StartSim(config)),
        settings(LinkSettings(ecu->DevicePath(), baud)),
        link(settings, samples.Outlet(), nullptr, SystemTickClock(), std::move(opener), timings) {}
  ~LinkRig() { link.Stop(); }

  std::string Port() const { return ecu->DevicePath(); }
  std::string Summary(uint16_t baud = 10400) const {
    return Port() + " : " + std::to_string(baud) + " : Ошибок: 0";
  }
  // Stop, and check that nothing came between its two texts.
  void StopAndExpectTheTwoTexts() {
    const size_t before = texts.Count();
    link.Stop();
    const std::vector<std::string> all = texts.All();
    const auto last = std::vector<std::string>(all.begin() + before, all.end());
    EXPECT_EQ(last, (std::vector<std::string>{kDisconnecting, kNotConnected}));
  }

  std::unique_ptr<EcuSimulator> ecu;
  SharedSettings settings;
  TextLog texts;
  SampleLog samples;
  KwpLink link;
};

TEST(KwpLinkOnPty, ConnectsAt10400PollsAndStopsAfterClosingTheSession) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  LinkRig rig;
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(3, 10s));
  EXPECT_EQ(rig.texts.All(),
            (std::vector<std::string>{kConnecting, "Открываем " + rig.Port() + "...", kContact,
                                      kIdentification}));
  EXPECT_EQ(rig.link.LinkSummary(), rig.Summary());
  EXPECT_TRUE(rig.link.WorkerRunning());

  // The samples are the served blocks, decoded.
  const std::vector<sim::ServedSample> served = rig.ecu->ServedSamples();
  const std::vector<SampleLog::Sample> got = rig.samples.All();
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i].speed, served[i].speed);
    EXPECT_EQ(got[i].air, served[i].air);
    EXPECT_EQ(got[i].fuel, served[i].fuel);
    EXPECT_EQ(got[i].running, served[i].running);
  }

  rig.StopAndExpectTheTwoTexts();
  EXPECT_FALSE(rig.link.WorkerRunning());
  EXPECT_EQ(rig.link.LinkSummary(), "");
  std::vector<Bytes> requests = RequestData(*rig.ecu);
  ASSERT_GE(requests.size(), 8u);
  // No rate switch: identification straight after StartCommunication.
  EXPECT_EQ(std::vector<Bytes>(requests.begin(), requests.begin() + 5),
            (std::vector<Bytes>{{0x20}, {0x82}, {0x81}, {0x1A, 0x80}, {0x21, 0x01}}));
  EXPECT_EQ(std::vector<Bytes>(requests.end() - 2, requests.end()),
            (std::vector<Bytes>{{0x20}, {0x82}}));

  // A new worker keeps the pacing of the old one: 100 ms after the last answer it received.
  const size_t heard = rig.ecu->Requests().size();
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.ecu->WaitForRequests(heard + 1, 5s));
  const std::vector<RequestRecord> all = rig.ecu->Requests();
  EXPECT_GE(all[heard].at - all[heard - 1].at, 100ms);
}

TEST(KwpLinkOnPty, FasterRatesAreTakenOnlyAfterThePositiveAnswer) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  for (const auto& [baud, code] : {std::pair<uint16_t, uint8_t>{38400, 0x26}, {57600, 0x39}}) {
    SCOPED_TRACE(baud);
    LinkRig rig(baud);
    rig.link.Start(rig.texts.Outlet());
    ASSERT_TRUE(rig.samples.WaitFor(2, 10s));
    EXPECT_EQ(rig.link.LinkSummary(), rig.Summary(baud));
    const std::vector<RequestRecord> requests = rig.ecu->Requests();
    ASSERT_GE(requests.size(), 6u);
    EXPECT_EQ(requests[3].data, (Bytes{0x10, 0x81, code}));
    EXPECT_EQ(requests[3].testerRate, 10400u);
    EXPECT_EQ(requests[4].data, (Bytes{0x1A, 0x80}));
    EXPECT_EQ(requests[4].testerRate, baud);
    EXPECT_EQ(requests[4].outcome, RequestOutcome::Positive);
    const std::vector<std::string> texts = rig.texts.All();
    EXPECT_EQ(texts.at(3), "Запрос продвинутой скорости обмена " + std::to_string(baud) + "...");
    EXPECT_EQ(texts.at(4), kIdentification);
  }
}

TEST(KwpLinkOnPty, UnknownControllerBlinksTheWarningThenPolls) {
  EcuSimConfig config;
  config.keyBytes = sim::kUnknownKeyBytes;
  LinkRig rig(10400, config);
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(1, 10s));
  std::vector<std::string> expected = {kConnecting, "Открываем " + rig.Port() + "...", kContact};
  for (int i = 0; i < 4; ++i)
    expected.insert(expected.end(), {kWarning, ""});
  expected.insert(expected.end(), {kWarning, kIdentification});
  EXPECT_EQ(rig.texts.All(), expected);
}

TEST(KwpLinkOnPty, StopDuringTheBlinkingEndsAtOnceWithoutStopCommunication) {
  EcuSimConfig config;
  config.keyBytes = sim::kUnknownKeyBytes;
  LinkRig rig(10400, config);
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.texts.WaitFor(kWarning, 2, 10s));
  const auto before = std::chrono::steady_clock::now();
  rig.StopAndExpectTheTwoTexts();
  // 200 ms at most by the wait; the rest is slack for a busy machine.
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_EQ(RequestData(*rig.ecu).back(), Bytes{0x81});
}

TEST(KwpLinkOnPty, PortThatCannotBeOpenedIsTriedAgainUntilStopped) {
  SharedSettings settings(LinkSettings("/dev/drunvale-no-such-port"));
  TextLog texts, causes;
  KwpLink link(settings, nullptr, nullptr);
  link.Start(texts.Outlet(), causes.Outlet());
  ASSERT_TRUE(texts.WaitFor("››", 1, 5s));
  const std::vector<std::string> shown = texts.All();
  EXPECT_EQ(
      std::vector<std::string>(shown.begin(), shown.begin() + 5),
      (std::vector<std::string>{kConnecting, "Открываем /dev/drunvale-no-such-port...",
                                "Не удаётся открыть /dev/drunvale-no-such-port.", "›", "››"}));
  // The start clears the cause line; the worker says why.
  EXPECT_EQ(causes.All(),
            (std::vector<std::string>{"", "Нет такого устройства: адаптер не подключён?"}));
  EXPECT_EQ(link.LinkSummary(), "");
  EXPECT_TRUE(link.WorkerRunning());
  const auto before = std::chrono::steady_clock::now();
  link.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);  // one 100 ms step at most
  EXPECT_EQ(texts.All().back(), kNotConnected);
}

TEST(KwpLinkOnPty, SilentControlUnitIsWaitedForAndPickedUpAgain) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  LinkRig rig;
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(2, 10s));
  rig.ecu->SetIgnitionOff();
  // Unanswered polls are counted while the port is still open.
  bool counted = false;
  for (int i = 0; i < 200 && !counted; ++i) {
    counted = rig.link.LinkSummary().starts_with(rig.Port() + " : 10400 : Ошибок: ") &&
              rig.link.LinkSummary() != rig.Summary();
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(counted);

  ASSERT_TRUE(rig.texts.WaitFor("›", 1, 30s));
  EXPECT_EQ(rig.link.LinkSummary(), "");
  rig.ecu->SetIgnitionOn();
  const std::string opening = "Открываем " + rig.Port() + "...";
  ASSERT_TRUE(rig.texts.WaitFor(opening, 2, 10s));
  const size_t samplesBefore = rig.samples.Count();
  ASSERT_TRUE(rig.samples.WaitFor(samplesBefore + 1, 10s));
  EXPECT_EQ(rig.link.LinkSummary(), rig.Summary());

  // The marks grew one by one over 5 s, then the port was opened again.
  const auto entries = rig.texts.Entries();
  const auto first =
      std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.item == "›"; });
  std::string marks;
  for (auto e = first; e != first + 50; ++e)
    EXPECT_EQ(e->item, marks += "›");
  EXPECT_EQ((first + 50)->item, opening);
  const auto waited = (first + 50)->at - first->at;
  EXPECT_GE(waited, 4900ms);
  EXPECT_LT(waited, 7s);

  // After the last block served: 20 polls, then three attempts at each closing request.
  const std::vector<RequestRecord> requests = rig.ecu->Requests();
  const auto served = rig.ecu->ServedSamples();
  const auto lastGood = std::find_if(requests.begin(), requests.end(), [&](const RequestRecord& r) {
    return r.at == served[samplesBefore - 1].requestAt;
  });
  ASSERT_NE(lastGood, requests.end());
  std::vector<Bytes> after;
  for (auto r = lastGood + 1; r != requests.end() && after.size() < 27; ++r)
    after.push_back(r->data);
  std::vector<Bytes> expected(20, Bytes{0x21, 0x01});
  expected.insert(expected.end(), 3, Bytes{0x20});
  expected.insert(expected.end(), 3, Bytes{0x82});
  expected.push_back({0x20});  // the next opening
  EXPECT_EQ(after, expected);
}

TEST(KwpLinkOnPty, NewSettingsRestartTheWorkerOnlyForAnotherPortOrRate) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  LinkRig rig;
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(2, 10s));
  const size_t texts = rig.texts.Count();

  Settings cheaper = rig.settings.Get();
  cheaper.Params.FuelPrice = 55.5f;
  rig.settings.Set(cheaper);
  rig.link.ApplySettings();
  const size_t samples = rig.samples.Count();
  ASSERT_TRUE(rig.samples.WaitFor(samples + 2, 5s));
  EXPECT_EQ(rig.texts.Count(), texts);
  EXPECT_EQ(rig.link.LinkSummary(), rig.Summary());

  auto other = StartSim();
  Settings moved = rig.settings.Get();
  moved.Port = other->DevicePath();
  rig.settings.Set(moved);
  rig.link.ApplySettings();
  ASSERT_TRUE(rig.texts.WaitFor(kIdentification, 2, 10s));
  const std::vector<std::string> all = rig.texts.All();
  EXPECT_EQ(std::vector<std::string>(all.begin() + texts, all.begin() + texts + 4),
            (std::vector<std::string>{kDisconnecting, kNotConnected, kConnecting,
                                      "Открываем " + other->DevicePath() + "..."}));
  EXPECT_TRUE(other->WaitForRequests(5, 5s));
  EXPECT_EQ(rig.link.LinkSummary(), other->DevicePath() + " : 10400 : Ошибок: 0");
  rig.link.Stop();  // before the other control unit goes
}

// A port whose reads can be made to hang until released, as a driver that never returns.
struct Gate {
  std::mutex mutex;
  std::condition_variable changed;
  bool armed = false, hanging = false, released = false, closed = false;

  template <typename Pred>
  bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 10s) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, pred);
  }
  void Set(bool Gate::*flag) {
    std::lock_guard lock(mutex);
    this->*flag = true;
    changed.notify_all();
  }
};

class HangingPort final : public SerialPort {
 public:
  HangingPort(std::unique_ptr<SerialPort> port, std::shared_ptr<Gate> gate)
      : port_(std::move(port)), gate_(std::move(gate)) {}
  ~HangingPort() override { gate_->Set(&Gate::closed); }
  IoResult SetLine(uint32_t baud) override { return port_->SetLine(baud); }
  void SetTimeouts(const SerialTimeouts& t) override { port_->SetTimeouts(t); }
  IoResult Purge() override { return port_->Purge(); }
  IoResult Write(const uint8_t* data, size_t n) override { return port_->Write(data, n); }
  IoResult Read(uint8_t* data, size_t n) override {
    std::unique_lock lock(gate_->mutex);
    if (gate_->armed) {
      gate_->hanging = true;
      gate_->changed.notify_all();
      gate_->changed.wait(lock, [&] { return gate_->released; });
    }
    lock.unlock();
    return port_->Read(data, n);
  }
  bool SetRts(bool on) override { return port_->SetRts(on); }
  bool SetDtr(bool on) override { return port_->SetDtr(on); }

 private:
  std::unique_ptr<SerialPort> port_;
  std::shared_ptr<Gate> gate_;
};

SerialPortOpener HangingOnce(std::shared_ptr<Gate> gate) {
  return [gate, first = std::make_shared<bool>(true)](
             const std::string& path, OpenError* error) -> std::unique_ptr<SerialPort> {
    auto port = OpenSystemSerialPort(path, error);
    if (!port || !*first) return port;
    *first = false;
    return std::make_unique<HangingPort>(std::move(port), gate);
  };
}

TEST(KwpLinkOnPty, WorkerThatHangsPastTheJoinIsForgottenAndSharesNothing) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  auto gate = std::make_shared<Gate>();
  LinkRig rig(10400, {}, HangingOnce(gate), LinkTimings{300});
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(2, 10s));
  const std::thread::id hungThread = rig.samples.Entries().front().thread;
  gate->Set(&Gate::armed);
  ASSERT_TRUE(gate->WaitUntil([&] { return gate->hanging; }));

  rig.link.Stop();
  const auto forgottenAt = std::chrono::steady_clock::now();
  EXPECT_EQ(rig.texts.All().back(), "Соединение не установлено 2.");
  EXPECT_FALSE(rig.link.WorkerRunning());
  EXPECT_EQ(rig.link.LinkSummary(), "");

  // The next worker opens a port of its own elsewhere and counts from zero.
  auto other = StartSim();
  Settings moved = rig.settings.Get();
  moved.Port = other->DevicePath();
  rig.settings.Set(moved);
  const size_t samples = rig.samples.Count();
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(samples + 2, 10s));
  EXPECT_EQ(rig.link.LinkSummary(), other->DevicePath() + " : 10400 : Ошибок: 0");

  // Let the old one go: it finishes its poll, closes its session on its own port and ends,
  // and nothing of it reaches the outlets.
  const size_t heardBefore = rig.ecu->Requests().size();
  gate->Set(&Gate::released);
  ASSERT_TRUE(gate->WaitUntil([&] { return gate->closed; }));
  const std::vector<Bytes> requests = RequestData(*rig.ecu);
  EXPECT_EQ(std::vector<Bytes>(requests.begin() + heardBefore, requests.end()),
            (std::vector<Bytes>{{0x20}, {0x82}}));
  size_t fromHung = 0;
  for (const auto& e : rig.samples.Entries()) {
    EXPECT_TRUE(e.thread != hungThread || e.at < forgottenAt);
    fromHung += e.thread == hungThread;
  }
  // The block it was waiting for did come, and went nowhere.
  const auto served = rig.ecu->ServedSamples();
  EXPECT_EQ(std::count_if(served.begin(), served.end(), [](const auto& s) { return s.Accepted(); }),
            static_cast<long>(fromHung + 1));
  for (const auto& e : rig.texts.Entries())
    EXPECT_TRUE(e.thread != hungThread || e.at < forgottenAt);
  EXPECT_EQ(rig.link.LinkSummary(), other->DevicePath() + " : 10400 : Ошибок: 0");
  rig.link.Stop();  // before the other control unit goes
}

TEST(KwpLinkOnPty, DestroyingTheLinkNeverWaitsForItsWorkerNorLeavesItOnFreedSettings) {
  auto gate = std::make_shared<Gate>();
  auto ecu = StartSim();
  // The program's settings go right after the link, as at exit; the worker left running
  // still reads the RTS flag for its closing requests.
  auto settings = std::make_unique<SharedSettings>(LinkSettings(ecu->DevicePath()));
  TextLog texts;
  SampleLog samples;
  std::optional<KwpLink> link;
  link.emplace(*settings, samples.Outlet(), nullptr, SystemTickClock(), HangingOnce(gate));
  link->Start(texts.Outlet());
  ASSERT_TRUE(samples.WaitFor(1, 10s));
  gate->Set(&Gate::armed);
  ASSERT_TRUE(gate->WaitUntil([&] { return gate->hanging; }));
  const auto before = std::chrono::steady_clock::now();
  link.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  settings.reset();
  const size_t textCount = texts.Count(), sampleCount = samples.Count();
  gate->Set(&Gate::released);
  ASSERT_TRUE(gate->WaitUntil([&] { return gate->closed; }));
  EXPECT_EQ(texts.Count(), textCount);
  EXPECT_EQ(samples.Count(), sampleCount);
}

TEST(KwpLinkOnPty, NoWorkerTextComesBetweenStopsTwoTexts) {
  LinkRig rig;
  for (auto delay : {0ms, 30ms, 150ms, 400ms, 700ms, 1200ms}) {
    SCOPED_TRACE(delay.count());
    rig.link.Start(rig.texts.Outlet());
    std::this_thread::sleep_for(delay);
    rig.StopAndExpectTheTwoTexts();
  }
}
}  // namespace
}  // namespace drunvale::testing
