// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port through Wine's serial layer, on a pseudo-terminal that com_peer.py links in as
// the COM port DRUNVALE_TEST_PORT names and plays the adapter on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_port.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;
using Steady = std::chrono::steady_clock;

double MsSince(Steady::time_point start) {
  return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

class WinSerialPort : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("DRUNVALE_TEST_PORT");
    ASSERT_NE(name, nullptr) << "run through com_peer.py";
    name_ = name;
    OpenedPort opened = OpenSystemSerialPort(name_);
    port_ = std::move(opened.port);
    ASSERT_NE(port_, nullptr) << opened.error.systemError;
    ASSERT_TRUE(port_->SetLine(10400));
    port_->SetTimeouts(SerialTimeouts{});
  }
  Bytes Read(size_t n, IoResult* result = nullptr) {
    Bytes buffer(n);
    IoResult r = port_->Read(buffer.data(), n);
    buffer.resize(r.count);
    if (result) *result = r;
    return buffer;
  }
  bool Write(const Bytes& bytes) {
    const IoResult r = port_->Write(bytes.data(), bytes.size());
    return r.ok && r.count == bytes.size();
  }

  std::string name_;
  std::unique_ptr<SerialPort> port_;
};

// Wine lets a second handle open a COM port that is held (Windows answers ERROR_ACCESS_DENIED,
// taken for Busy), so only real Windows can show the port is exclusive.
TEST_F(WinSerialPort, TellsWhatCannotBeOpened) {
  OpenedPort missing = OpenSystemSerialPort("COM199");
  EXPECT_EQ(missing.port, nullptr);
  EXPECT_EQ(missing.error.failure, OpenFailure::NoDevice);
  EXPECT_EQ(missing.error.systemError, 2);  // ERROR_FILE_NOT_FOUND
  OpenedPort null = OpenSystemSerialPort("NUL");
  EXPECT_EQ(null.port, nullptr);
  EXPECT_EQ(null.error.failure, OpenFailure::NotSerialPort);
  EXPECT_FALSE(port_->SetLine(0));
}

// A pseudo-terminal has no modem lines: moving them fails, and the data still flows raw.
TEST_F(WinSerialPort, WithoutModemLinesTheLinesFailButTheDataFlows) {
  EXPECT_FALSE(port_->SetRts(true));
  EXPECT_FALSE(port_->SetDtr(true));
  ASSERT_TRUE(port_->SetLine(57600));
  const Bytes raw{0x0D, 0x0A, 0x03, 0x11, 0x13, 0x00, 0xFF};
  ASSERT_TRUE(Write(raw));
  EXPECT_EQ(Read(raw.size()), raw);

  ASSERT_TRUE(Write({0x42}));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the echo is in
  EXPECT_TRUE(port_->Purge());
  port_->SetTimeouts(SerialTimeouts{10, 20, 0, 100, 100});
  EXPECT_TRUE(Read(1).empty());
}

TEST_F(WinSerialPort, ReadsEndAtTheGapOrTheTotalLimit) {
  IoResult result;
  Steady::time_point start = Steady::now();
  EXPECT_TRUE(Read(4, &result).empty());
  EXPECT_TRUE(result.ok);
  EXPECT_GE(MsSince(start), 450);  // 100 + 100 * 4

  ASSERT_TRUE(Write({0xA5}));
  EXPECT_EQ(Read(1), (Bytes{0xA5}));
  start = Steady::now();
  EXPECT_EQ(Read(10, &result), (Bytes{1, 2, 3}));
  EXPECT_TRUE(result.ok);
  const double took = MsSince(start);
  EXPECT_GE(took, 40);
  EXPECT_LT(took, 1000);  // the 50 ms gap ended it, not the 1100 ms total
  EXPECT_EQ(Read(1), (Bytes{4}));
}

}  // namespace
}  // namespace drunvale
