// SPDX-License-Identifier: GPL-3.0-or-later
// Network ports over the loopback interface: the client opened by name as a serial port, the
// server end taken from the listener, both the system's real sockets.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "platform/serial_port.h"
#include "platform/tcp_listener.h"

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;

// Longer than any test may run (ctest ends it first): a read that ignores its other limit
// fails the test instead of passing slowly.
constexpr uint32_t kNeverMs = 600'000;

Bytes ReadFrom(SerialPort& port, size_t n, IoResult* result = nullptr) {
  Bytes buffer(n);
  const IoResult r = port.Read(buffer.data(), n);
  buffer.resize(r.count);
  if (result) *result = r;
  return buffer;
}

bool WriteTo(SerialPort& port, const Bytes& bytes) {
  const IoResult r = port.Write(bytes.data(), bytes.size());
  return r.ok && r.count == bytes.size();
}

struct Connection {
  std::unique_ptr<TcpListener> listener;
  std::unique_ptr<SerialPort> client;
  std::unique_ptr<SerialPort> server;
};

// Connects to a listener at the address through the name the client is opened by.
void Connect(Connection& c, const std::string& address, const std::string& host) {
  ListeningPort listening = ListenOnTcp(address, 0);
  ASSERT_NE(listening.listener, nullptr) << listening.systemError;
  c.listener = std::move(listening.listener);
  ASSERT_NE(c.listener->Port(), 0);
  OpenedPort opened =
      OpenSystemSerialPort("socket://" + host + ":" + std::to_string(c.listener->Port()));
  ASSERT_NE(opened.port, nullptr) << opened.error.systemError;
  c.client = std::move(opened.port);
  AcceptedClient accepted = c.listener->Accept(kNeverMs);
  ASSERT_EQ(accepted.status, AcceptStatus::Accepted) << accepted.systemError;
  c.server = std::move(accepted.port);
}

class TcpLoopback : public ::testing::Test {
 protected:
  void SetUp() override { Connect(c_, "127.0.0.1", "127.0.0.1"); }
  SerialPort& client() { return *c_.client; }
  SerialPort& server() { return *c_.server; }

  Connection c_;
};

TEST_F(TcpLoopback, BytesFlowRawBothWaysWithoutLineRateOrModemLines) {
  for (SerialPort* port : {&client(), &server()}) {
    EXPECT_TRUE(port->SetLine(10400));
    EXPECT_FALSE(port->SetLine(0));  // refused as by a serial port
    EXPECT_FALSE(port->SetRts(true));
    EXPECT_FALSE(port->SetDtr(true));
  }
  Bytes every(256);
  for (size_t i = 0; i < every.size(); ++i)
    every[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(WriteTo(client(), every));
  EXPECT_EQ(ReadFrom(server(), every.size()), every);
  const Bytes answer{'4', '1', ' ', '0', 'D', '\r', '\r', '>'};
  ASSERT_TRUE(WriteTo(server(), answer));
  EXPECT_EQ(ReadFrom(client(), answer.size()), answer);
}

TEST_F(TcpLoopback, ReadsEndAtTheTotalLimitOrTheGapWhichStartsAtTheFirstByte) {
  IoResult result;
  client().SetTimeouts({kNeverMs, 30, 0, 100, 100});
  EXPECT_TRUE(ReadFrom(client(), 4, &result).empty());
  EXPECT_TRUE(result.ok);  // silence is no failure
  client().SetTimeouts({kNeverMs, 0, 10, 100, 100});
  EXPECT_TRUE(ReadFrom(client(), 3, &result).empty());
  EXPECT_TRUE(result.ok);

  client().SetTimeouts({20, kNeverMs, 0, 100, 100});
  ASSERT_TRUE(WriteTo(server(), {0x55, 0xAA}));
  EXPECT_EQ(ReadFrom(client(), 10, &result), (Bytes{0x55, 0xAA}));
  EXPECT_TRUE(result.ok);

  // A gap limit counted from the start would end this read before the byte comes.
  client().SetTimeouts({1, kNeverMs, 0, 100, 100});
  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(WriteTo(server(), {0x41}));
  });
  EXPECT_EQ(ReadFrom(client(), 2), (Bytes{0x41}));
  late.join();
}

TEST_F(TcpLoopback, PurgeDropsWhatHasArrivedUnread) {
  ASSERT_TRUE(WriteTo(server(), {1, 2, 3, 4}));
  EXPECT_EQ(ReadFrom(client(), 1), (Bytes{1}));  // the rest came with it
  EXPECT_TRUE(client().Purge());
  client().SetTimeouts({10, 20, 0, 100, 100});
  EXPECT_TRUE(ReadFrom(client(), 3).empty());
  ASSERT_TRUE(WriteTo(server(), {5}));
  EXPECT_EQ(ReadFrom(client(), 1), (Bytes{5}));
}

TEST_F(TcpLoopback, APeerThatClosesIsAFailureNotASilence) {
  ASSERT_TRUE(WriteTo(server(), {7, 8}));
  c_.server.reset();
  client().SetTimeouts({kNeverMs, kNeverMs, 0, 100, 100});
  IoResult result;
  EXPECT_EQ(ReadFrom(client(), 4, &result), (Bytes{7, 8}));  // what came before is kept
  EXPECT_FALSE(result.ok);
  ReadFrom(client(), 4, &result);
  EXPECT_FALSE(result.ok);
  // The first write after the close may still be taken; the peer's reset fails a later one,
  // without a signal that ends the program.
  bool failed = false;
  for (int i = 0; i < 100 && !failed; ++i) {
    failed = !client().Write(reinterpret_cast<const uint8_t*>("0100\r"), 5).ok;
    if (!failed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(failed);
  EXPECT_FALSE(client().Purge());
}

TEST(TcpPortOpen, NamesAndLiteralsOfBothFamiliesConnect) {
  for (const auto& [address, host] :
       {std::pair{"127.0.0.1", "localhost"}, std::pair{"::1", "[::1]"}}) {
    SCOPED_TRACE(host);
    Connection c;
    Connect(c, address, host);
    if (!c.server) continue;
    ASSERT_TRUE(WriteTo(*c.client, {'A', 'T', 'Z', '\r'}));
    EXPECT_EQ(ReadFrom(*c.server, 4), (Bytes{'A', 'T', 'Z', '\r'}));
  }
}

TEST(TcpPortOpen, TellsBadNamesAndHostsThatDoNotAnswer) {
  for (const char* bad :
       {"socket://", "socket://127.0.0.1", "socket://127.0.0.1:0", "socket://127.0.0.1:65536",
        "socket://127.0.0.1:35000x", "SOCKET://::1:35000"}) {
    OpenedPort opened = OpenSystemSerialPort(bad);
    EXPECT_EQ(opened.port, nullptr) << bad;
    EXPECT_EQ(opened.error.failure, OpenFailure::BadName) << bad;
  }

  ListeningPort listening = ListenOnTcp("127.0.0.1", 0);
  ASSERT_NE(listening.listener, nullptr);
  const std::string name = "socket://127.0.0.1:" + std::to_string(listening.listener->Port());
  listening.listener.reset();
  OpenedPort refused = OpenSystemSerialPort(name);
  EXPECT_EQ(refused.port, nullptr);
  EXPECT_EQ(refused.error.failure, OpenFailure::Unreachable);
  EXPECT_NE(refused.error.systemError, 0);
}

// A listener that accepts no one takes a client or two into its queue; the next one's request
// goes unanswered (or is refused), and the opening ends within its limit instead of hanging.
TEST(TcpPortOpen, AHostThatDoesNotAnswerFailsInsteadOfHanging) {
  ListeningPort listening = ListenOnTcp("127.0.0.1", 0);
  ASSERT_NE(listening.listener, nullptr);
  const std::string name = "socket://127.0.0.1:" + std::to_string(listening.listener->Port());
  std::vector<std::unique_ptr<SerialPort>> queued;
  std::optional<OpenError> failed;
  for (int i = 0; i < 16 && !failed; ++i) {
    OpenedPort opened = OpenSystemSerialPort(name);
    if (!opened.port) failed = opened.error;
    queued.push_back(std::move(opened.port));
  }
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->failure, OpenFailure::Unreachable);
}

TEST(TcpListener, AcceptTimesOutAndAStopEndsAWaitingAccept) {
  ListeningPort listening = ListenOnTcp("127.0.0.1", 0);
  ASSERT_NE(listening.listener, nullptr);
  TcpListener& listener = *listening.listener;
  EXPECT_EQ(listener.Accept(0).status, AcceptStatus::TimedOut);
  EXPECT_EQ(listener.Accept(20).status, AcceptStatus::TimedOut);

  std::thread waiting([&] { EXPECT_EQ(listener.Accept(kNeverMs).status, AcceptStatus::Stopped); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // most likely waiting by now
  listener.Stop();
  waiting.join();
  listener.Stop();
  EXPECT_EQ(listener.Accept(kNeverMs).status, AcceptStatus::Stopped);

  EXPECT_EQ(ListenOnTcp("localhost", 0).listener, nullptr);  // numeric addresses only
}

}  // namespace
}  // namespace drunvale
