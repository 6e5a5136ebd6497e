// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "link/kwp_link.h"
#include "link/link_test_outlets.h"
#include "settings/settings.h"
#include "sim/elm_pipe.h"
#ifndef _WIN32
#include "emulator.h"
#include "sim/elm_server.h"
#include "sim/pty_host_stream.h"
#endif

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;

struct CarCase {
  const char* name;
  sim::ObdBus bus;
  sim::ObdCarKind kind;
  std::string summary;  // how the summary goes on after the port
  size_t samples;
  double speedup;  // K-line samples are slow: a slower drive keeps them apart less
  // Of the litres: on K-line the slow PIDs take turns and lag the drive.
  double tolerance;
  // Only the standard car on the line, the source left to choose itself.
  bool alone = false;
};

// The real link through the simulated ELM327 to a standard car on each bus, with each way
// of telling the fuel: the protocol is searched for, and the fuel and distance the link hands
// on agree with what the car used over the same stretch of the drive. A car without the
// manufacturer's unit is found to need the standard data by itself.
TEST(ObdLink, AnyCarIsPolledAndItsFuelAndDistanceAgreeWithTheCar) {
#ifndef _WIN32
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
#endif
  for (const CarCase& c : {CarCase{"CAN, fuel rate", sim::ObdBus::Can11At500,
                                   sim::ObdCarKind::FuelRate, " : 500000", 60, 10, 0.06},
                           CarCase{"CAN, air flow", sim::ObdBus::Can11At500, sim::ObdCarKind::Maf,
                                   " : 500000", 60, 10, 0.06, true},
                           CarCase{"K-line, speed-density", sim::ObdBus::Kwp14230,
                                   sim::ObdCarKind::SpeedDensity, " : 10400", 40, 2, 0.1}}) {
    SCOPED_TRACE(c.name);
    sim::ElmSimConfig elm;
    elm.obdCar = sim::ObdCarConfig{.bus = c.bus, .kind = c.kind, .manufacturerUnit = !c.alone};
    elm.serialPacing = false;
    sim::EcuSimConfig drive;
    drive.profileSpeedup = c.speedup;
    drive.profileStartSeconds = 772;  // town: away from the lights, a stretch, then slowing
    Settings settings;
#ifdef _WIN32
    // Through the pipe in this process: Wine's serial ports are tried elsewhere.
    sim::ElmPipe pipe(elm, drive);
    settings.Port = "elm";
    const SerialPortOpener opener = [&](const std::string&) { return pipe.Open(); };
#else
    // The real thing: the simulator serving a pseudo-terminal, the link opening it.
    sim::ElmServer pipe(elm, drive);
    std::string error;
    std::unique_ptr<sim::PtyHostStream> stream = sim::PtyHostStream::Open(&error);
    ASSERT_TRUE(stream) << error;
    settings.Port = stream->DevicePath();
    ASSERT_TRUE(pipe.Serve(std::move(stream)));
    const SerialPortOpener opener = OpenSystemSerialPort;
#endif
    settings.Source = c.alone ? DataSourceKind::Automatic : DataSourceKind::StandardObd;
    settings.Fuel.displacementCc = 1600;
    settings.Fuel.densityGL = 740;  // the simulated car's fuel
    SharedSettings shared(settings);
    TextLog texts;
    SampleLog samples;
    KwpLink link(shared, samples.Outlet(), nullptr, SystemTickClock(), opener);
    link.Start(texts.Outlet());
    ASSERT_TRUE(samples.WaitFor(c.samples, 60s));
    EXPECT_TRUE(link.LinkSummary().starts_with(settings.Port + c.summary)) << link.LinkSummary();
    link.Stop();
    const std::vector<std::string> shown = texts.All();
    EXPECT_NE(std::find_if(shown.begin(), shown.end(),
                           [](const std::string& t) {
                             return t.starts_with("OBD-II, топливо по ") &&
                                    t.ends_with(", VIN VF1DRUNVALE000001.");
                           }),
              shown.end());

    // Litres and kilometres over the same stretch: each of the link's samples holds until the
    // next, and so does each value the car served at a request.
    const auto entries = samples.Entries();
    const std::vector<sim::ObdServedSample> truth = pipe.ObdSamples();
    ASSERT_GE(truth.size(), 2u);
    const auto from = entries.front().at, to = entries.back().at;
    const auto hours = [](auto a, auto b) {
      return std::chrono::duration<double, std::ratio<3600>>(std::max(b - a, a - a)).count();
    };
    double litres = 0, km = 0, trueLitres = 0, trueKm = 0;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
      litres += entries[i].item.fuel * hours(entries[i].at, entries[i + 1].at);
      km += entries[i].item.speed * hours(entries[i].at, entries[i + 1].at);
    }
    for (size_t j = 0; j + 1 < truth.size(); ++j) {
      const double h = hours(std::max(truth[j].at, from), std::min(truth[j + 1].at, to));
      trueLitres += truth[j].fuelLh * h;
      trueKm += truth[j].speedKmh * h;
    }
    EXPECT_NEAR(litres, trueLitres, c.tolerance * trueLitres);
    EXPECT_NEAR(km, trueKm, 0.06 * trueKm);
  }
}

}  // namespace
}  // namespace drunvale::testing
