// SPDX-License-Identifier: GPL-3.0-or-later
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "emulator.h"
#include "link/kwp_exchange.h"
#include "platform/thread_stop_event.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;

// Plays the K-line adapter and the control unit on the master side of a pseudo-terminal:
// echoes every byte, and answers each whole request frame with the next scripted reply.
class PtyEcu {
 public:
  PtyEcu(int master, std::vector<Bytes> replies)
      : master_(master), replies_(std::move(replies)), thread_([this] { Run(); }) {}
  ~PtyEcu() {
    done_ = true;
    thread_.join();
  }

 private:
  void Run() {
    Bytes frame;
    size_t next = 0;
    while (!done_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0) continue;
      uint8_t buffer[64];
      ssize_t got = read(master_, buffer, sizeof buffer);
      if (got <= 0) return;
      ASSERT_EQ(write(master_, buffer, got), got);
      frame.insert(frame.end(), buffer, buffer + got);
      const size_t size = 4 + (frame[0] & 0x3F);  // short requests only
      if (frame.size() < size) continue;
      frame.clear();
      if (next < replies_.size()) {
        const Bytes& reply = replies_[next++];
        ASSERT_EQ(write(master_, reply.data(), reply.size()), ssize_t(reply.size()));
      }
    }
  }

  int master_;
  std::vector<Bytes> replies_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

Bytes Response(const Bytes& data) {
  KwpFrame f = BuildResponseFrame(data.data(), static_cast<uint8_t>(data.size()));
  return Bytes(f.data(), f.data() + f.size);
}

TEST(KwpExchangeOnPty, WorkerExchangesWhileAnotherThreadWatchesAndStops) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_DROPS_LINE_RATES();
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  auto port = OpenSystemSerialPort(name).port;
  ASSERT_NE(port, nullptr);

  Bytes garbled = Response({0x61, 0x01, 0x42});
  garbled.back() ^= 0xFF;
  {
    PtyEcu ecu(master, {garbled, Response({0x61, 0x01, 0x42})});  // then silent
    ThreadStopEvent stop;
    KwpExchange link(SystemTickClock(), stop, [] { return false; });
    link.SetPort(port.get());

    ExchangeResult first{}, second{};
    uint8_t value = 0;
    std::thread worker([&] {
      link.SetBaudRate(10400);
      first = link.Exchange({0x21, 0x01});
      value = link.ReceiveBuffer()[link.PayloadOffset() + 1];
      second = link.Exchange({0x21, 0x01});
    });
    // The summary's view from the dialog thread: rate and error count, read while they move.
    while (link.ErrorCount() < 2)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(link.CurrentBaud(), 10400);
    stop.Set();
    worker.join();

    EXPECT_EQ(first, ExchangeResult::Ok);
    EXPECT_EQ(value, 0x42);
    EXPECT_EQ(second, ExchangeResult::Stopped);
    EXPECT_GE(link.ErrorCount(), 2);  // 3 if the stop came just after the pause
  }
  port.reset();
  close(master);
  close(slave);
}

}  // namespace
}  // namespace drunvale
