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
#include "link/link_texts.h"
#include "settings/settings.h"
#include "sim/ecu_simulator.h"

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;
using sim::EcuSimConfig;
using sim::EcuSimulator;
using sim::RequestRecord;
using Bytes = std::vector<uint8_t>;

// What the rig over the scripted port shows too is in link_scenarios_test.cpp; here are the
// link's threads, its restarts and its workers that will not end.

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

TEST(KwpLinkOnPty, ANewWorkerKeepsThePacingOfTheOldOne) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  LinkRig rig;
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.samples.WaitFor(1, 10s));
  rig.link.Stop();
  // 100 ms after the last answer the old one received.
  const size_t heard = rig.ecu->Requests().size();
  rig.link.Start(rig.texts.Outlet());
  ASSERT_TRUE(rig.ecu->WaitForRequests(heard + 1, 5s));
  const std::vector<RequestRecord> all = rig.ecu->Requests();
  EXPECT_GE(all[heard].at - all[heard - 1].at, 100ms);
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
  ASSERT_TRUE(rig.texts.WaitFor(kSimIdentification, 2, 10s));
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
  return [gate, first = std::make_shared<bool>(true)](const std::string& path) -> OpenedPort {
    OpenedPort opened = OpenSystemSerialPort(path);
    if (!opened.port || !*first) return opened;
    *first = false;
    return {std::make_unique<HangingPort>(std::move(opened.port), gate), {}};
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
