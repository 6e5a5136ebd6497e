// SPDX-License-Identifier: GPL-3.0-or-later
// The codes read and cleared through the real link, over a pseudo-terminal, from the simulator
// behind either adapter.
#include <gtest/gtest.h>

#include "app/codes_command.h"
#include "emulator.h"
#include "platform/exit_codes.h"
#include "sim/ecu_simulator.h"
#include "sim/elm_server.h"
#include "sim/pty_host_stream.h"

namespace drunvale {
namespace {

using namespace std::chrono_literals;

const std::vector<sim::SimTroubleCode> kCodes = {{0x0130}, {0x0301}, {0x0171, true}};

// Read, clear, read again: the clear is confirmed and nothing is left.
void ReadClearRead(const Settings& settings, const std::string& firstRead) {
  const CodesOutcome read =
      RunCodesRequest(settings, CodesMailbox::Ask::Read, OpenSystemSerialPort, 60s);
  EXPECT_EQ(read.exitCode, kExitOk) << read.text;
  EXPECT_EQ(read.text, firstRead);
  const CodesOutcome cleared =
      RunCodesRequest(settings, CodesMailbox::Ask::Clear, OpenSystemSerialPort, 60s);
  EXPECT_EQ(cleared.exitCode, kExitOk) << cleared.text;
  const CodesOutcome after =
      RunCodesRequest(settings, CodesMailbox::Ask::Read, OpenSystemSerialPort, 60s);
  EXPECT_NE(after.text.find("Кодов неисправностей нет."), std::string::npos) << after.text;
}

TEST(CodesCommand, ReadsAndClearsThroughEitherAdapterOverAPty) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  {
    SCOPED_TRACE("K-line adapter, the manufacturer's unit");
    sim::EcuSimConfig ecu;
    ecu.troubleCodes = kCodes;
    sim::EcuSimulator simulator(ecu);
    std::string error;
    ASSERT_TRUE(simulator.Start(&error)) << error;
    Settings settings;
    settings.Port = simulator.DevicePath();
    settings.Adapter = AdapterKind::KLine;
    ReadClearRead(settings,
                  "P0130  топливо и воздух\n"
                  "P0301  зажигание и пропуски воспламенения\n"
                  "P0171  топливо и воздух  (ожидающий подтверждения)\n");
  }
  {
    SCOPED_TRACE("ELM327, a standard CAN car");
    sim::EcuSimConfig ecu;
    ecu.troubleCodes = kCodes;
    sim::ElmSimConfig elm;
    elm.obdCar = sim::ObdCarConfig{.manufacturerUnit = false};
    sim::ElmServer server(elm, ecu);
    std::string error;
    std::unique_ptr<sim::PtyHostStream> stream = sim::PtyHostStream::Open(&error);
    ASSERT_TRUE(stream) << error;
    Settings settings;
    settings.Port = stream->DevicePath();
    settings.Adapter = AdapterKind::Elm;
    settings.Source = DataSourceKind::StandardObd;
    ASSERT_TRUE(server.Serve(std::move(stream)));
    ReadClearRead(settings,
                  "Лампа неисправности горит (кодов: 2).\n"
                  "P0130  топливо и воздух\n"
                  "P0301  зажигание и пропуски воспламенения\n"
                  "P0171  топливо и воздух  (ожидающий подтверждения)\n");
  }
}

// A port that is not there is said at once, not after the minute's wait.
TEST(CodesCommand, APortThatIsNotThereIsSaidAtOnce) {
  Settings settings;
  settings.Port = "/dev/drunvale-no-such-port";
  const CodesOutcome outcome =
      RunCodesRequest(settings, CodesMailbox::Ask::Read, OpenSystemSerialPort, 60s);
  EXPECT_EQ(outcome.exitCode, kExitNotReached);
  EXPECT_TRUE(outcome.text.starts_with("drunvale: Не удаётся открыть /dev/drunvale-no-such-port."))
      << outcome.text;
}

}  // namespace
}  // namespace drunvale
