// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "emulator.h"
#include "platform/linux/termios2_line.h"
#include "platform/serial_port.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;
using Steady = std::chrono::steady_clock;

double MsSince(Steady::time_point start) {
  return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// A pseudo-terminal whose slave side is opened as the serial port; the test plays the adapter
// on the master side.
class PtyPort : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[128];
    ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    path_ = name;
    OpenedPort opened = OpenSystemSerialPort(path_);
    port_ = std::move(opened.port);
    ASSERT_NE(port_, nullptr) << opened.error.systemError;
  }
  void TearDown() override {
    port_.reset();
    if (master_ >= 0) close(master_);
    close(slave_);
  }

  Bytes FromMaster(size_t n) {
    Bytes got;
    while (got.size() < n) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0) break;
      uint8_t buffer[64];
      ssize_t r = read(master_, buffer, std::min(sizeof buffer, n - got.size()));
      if (r <= 0) break;
      got.insert(got.end(), buffer, buffer + r);
    }
    return got;
  }
  void ToMaster(const Bytes& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  Bytes ReadPort(size_t n, IoResult* result = nullptr) {
    Bytes buffer(n);
    IoResult r = port_->Read(buffer.data(), n);
    buffer.resize(r.count);
    if (result) *result = r;
    return buffer;
  }

  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::unique_ptr<SerialPort> port_;
};

TEST(SystemSerialPortOpen, TellsMissingAndUnsuitableDevices) {
  OpenedPort missing = OpenSystemSerialPort("/dev/ttyDrunvaleMissing");
  EXPECT_EQ(missing.port, nullptr);
  EXPECT_EQ(missing.error.failure, OpenFailure::NoDevice);
  EXPECT_EQ(missing.error.systemError, ENOENT);

  OpenedPort null = OpenSystemSerialPort("/dev/null");
  EXPECT_EQ(null.port, nullptr);
  EXPECT_EQ(null.error.failure, OpenFailure::NotSerialPort);
}

TEST_F(PtyPort, IsExclusiveAndProgramsAnyRate) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  OpenedPort again = OpenSystemSerialPort(path_);
  EXPECT_EQ(again.port, nullptr);
  EXPECT_EQ(again.error.failure, OpenFailure::Busy);

  // The master reports the slave's line state.
  for (uint32_t baud : {10400u, 38400u, 57600u}) {
    EXPECT_TRUE(port_->SetLine(baud));
    EXPECT_EQ(ReadLineBaud(master_), baud);
  }
  EXPECT_FALSE(port_->SetLine(0));
  EXPECT_EQ(ReadLineBaud(master_), 57600u);
}

TEST_F(PtyPort, WithoutModemLinesTheLinesFailButTheDataFlows) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  EXPECT_FALSE(port_->SetRts(true));
  EXPECT_FALSE(port_->SetDtr(true));
  EXPECT_FALSE(port_->SetDtr(false));
  ASSERT_TRUE(port_->SetLine(10400));

  const Bytes request{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  IoResult written = port_->Write(request.data(), request.size());
  EXPECT_TRUE(written.ok);
  EXPECT_EQ(written.count, request.size());
  EXPECT_EQ(FromMaster(request.size()), request);  // raw: no byte translated

  ToMaster({0x0D, 0x0A, 0x03, 0x11, 0x13});
  EXPECT_EQ(ReadPort(5), (Bytes{0x0D, 0x0A, 0x03, 0x11, 0x13}));
}

TEST_F(PtyPort, PurgeDiscardsWhatHasArrived) {
  ToMaster({1, 2, 3, 4});
  EXPECT_EQ(ReadPort(1), (Bytes{1}));
  EXPECT_TRUE(port_->Purge());
  port_->SetTimeouts(SerialTimeouts{10, 20, 0, 100, 100});
  EXPECT_TRUE(ReadPort(3).empty());
}

TEST_F(PtyPort, ReadsEndAtTheGapOrTheTotalLimit) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  // At a known rate the read sleeps while the rest should be on the line; a stall must still
  // end it at the gap, whether the sleep is shorter (8 bytes) or longer (98) than the gap.
  ASSERT_TRUE(port_->SetLine(10400));
  IoResult result;
  auto start = Steady::now();
  EXPECT_TRUE(ReadPort(2, &result).empty());
  EXPECT_TRUE(result.ok);
  EXPECT_GE(MsSince(start), 280);  // 100 + 100 * 2

  for (size_t n : {10u, 100u}) {
    SCOPED_TRACE(n);
    ToMaster({0x55, 0xAA});
    start = Steady::now();
    EXPECT_EQ(ReadPort(n, &result), (Bytes{0x55, 0xAA}));
    EXPECT_TRUE(result.ok);
    const double took = MsSince(start);
    EXPECT_GE(took, 40);
    EXPECT_LT(took, 1000);  // the gap ended it, not the total of 1100 ms or more
  }
}

TEST_F(PtyPort, AFrameComingAtTheLinesPaceIsReadWhole) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  ASSERT_TRUE(port_->SetLine(10400));
  Bytes frame(100);
  for (size_t i = 0; i < frame.size(); ++i)
    frame[i] = static_cast<uint8_t>(0xA0 + i);
  // A byte a millisecond, a little slower than 10400 bit/s: the read wakes before the last
  // bytes are in and must take them as they come; its sleeps reach the gap limit (the rest
  // would need more than 50 ms), and what came meanwhile must still be read.
  std::thread sender([&] {
    for (uint8_t byte : frame) {
      ASSERT_EQ(write(master_, &byte, 1), 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  IoResult result;
  EXPECT_EQ(ReadPort(frame.size(), &result), frame);
  EXPECT_TRUE(result.ok);
  sender.join();
}

TEST_F(PtyPort, HangUpIsAFailureNotASpin) {
  close(master_);
  master_ = -1;
  const double cpuBefore = ThreadCpuMs();
  IoResult result;
  ReadPort(4, &result);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.systemError, EIO);  // what the user is told the adapter was lost by
  EXPECT_LT(ThreadCpuMs() - cpuBefore, 200);
  const Bytes frame{0x81, 0x10, 0xF1, 0x81, 0x03};
  EXPECT_EQ(port_->Write(frame.data(), frame.size()).systemError, EIO);
}

}  // namespace
}  // namespace drunvale
