// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_server.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace drunvale::sim {
namespace {

using namespace std::chrono_literals;

// Both ends of one connection in memory, as a socket pair would be; the test is the host.
struct Connection {
  std::mutex mutex;
  std::condition_variable changed;
  std::string toChip, toHost;
  bool closed = false;  // by the chip
  bool woken = false;

  void Send(const std::string& text) {
    std::lock_guard lock(mutex);
    toChip += text;
    changed.notify_all();
  }
  // What came up to the prompt, or up to the close.
  std::string ReadToPrompt() {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, 5s, [&] { return toHost.find('>') != std::string::npos || closed; });
    const size_t end = toHost.find('>');
    std::string text = toHost.substr(0, end == std::string::npos ? toHost.size() : end + 1);
    toHost.erase(0, text.size());
    return text;
  }
  bool WaitClosed() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 5s, [&] { return closed; });
  }
};

class MemoryStream final : public HostStream {
 public:
  explicit MemoryStream(std::shared_ptr<Connection> c) : c_(std::move(c)) {}
  Event Wait(std::optional<SimTime> deadline) override {
    std::unique_lock lock(c_->mutex);
    auto ready = [&] { return !c_->toChip.empty() || c_->woken; };
    if (deadline) {
      c_->changed.wait_until(lock, *deadline, ready);
    } else {
      c_->changed.wait(lock, ready);
    }
    if (!c_->toChip.empty()) return Event::Readable;
    const bool woken = std::exchange(c_->woken, false);
    return woken ? Event::Woken : Event::Timeout;
  }
  bool Read(std::vector<uint8_t>& bytes) override {
    std::lock_guard lock(c_->mutex);
    bytes.insert(bytes.end(), c_->toChip.begin(), c_->toChip.end());
    c_->toChip.clear();
    return true;
  }
  bool Write(const uint8_t* bytes, size_t n) override {
    std::lock_guard lock(c_->mutex);
    c_->toHost.append(reinterpret_cast<const char*>(bytes), n);
    c_->changed.notify_all();
    return true;
  }
  uint32_t HostRate() override { return 0; }
  void Close() override {
    std::lock_guard lock(c_->mutex);
    c_->closed = true;
    c_->changed.notify_all();
  }
  void Wake() override {
    std::lock_guard lock(c_->mutex);
    c_->woken = true;
    c_->changed.notify_all();
  }
  std::string Error() const override { return ""; }

 private:
  std::shared_ptr<Connection> c_;
};

// Hands out the connections the test makes, one at a time.
class MemoryListener final : public HostStreamListener {
 public:
  std::shared_ptr<Connection> Connect() {
    auto connection = std::make_shared<Connection>();
    std::lock_guard lock(mutex_);
    pending_.push_back(connection);
    changed_.notify_all();
    return connection;
  }
  std::unique_ptr<HostStream> Accept() override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !pending_.empty() || woken_; });
    if (pending_.empty()) return nullptr;
    auto stream = std::make_unique<MemoryStream>(pending_.front());
    pending_.pop_front();
    return stream;
  }
  void Wake() override {
    std::lock_guard lock(mutex_);
    woken_ = true;
    changed_.notify_all();
  }
  std::string Error() const override { return ""; }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<Connection>> pending_;
  bool woken_ = false;
};

// A Wi-Fi adapter's TCP peer that drops: the answer comes whole, then the connection goes; the
// next connection finds the chip as it was left.
TEST(ElmServer, ServesConnectionAfterConnectionWithTheChipKept) {
  ElmSimConfig config;
  config.quirks.dropAfterRequests = 1;
  ElmServer server(config);
  auto listener = std::make_unique<MemoryListener>();
  MemoryListener& connections = *listener;
  ASSERT_TRUE(server.Listen(std::move(listener)));

  std::shared_ptr<Connection> first = connections.Connect();
  first->Send("ATE0\r");
  EXPECT_EQ(first->ReadToPrompt(), "ATE0\rOK\r\r>");
  first->Send("ATSP5\rATSH8110F1\r");
  EXPECT_EQ(first->ReadToPrompt(), "OK\r\r>");
  EXPECT_EQ(first->ReadToPrompt(), "OK\r\r>");
  first->Send("21011\r");
  EXPECT_EQ(first->ReadToPrompt().rfind("BUS INIT: OK\r61 01 ", 0), 0u);
  EXPECT_TRUE(first->WaitClosed());

  std::shared_ptr<Connection> second = connections.Connect();
  second->Send("ATKW\r");
  EXPECT_EQ(second->ReadToPrompt(), "1:6B 2:8F\r\r>");
  EXPECT_EQ(server.ServedSamples().size(), 1u);
  EXPECT_TRUE(server.Running());
  server.Stop();
  EXPECT_FALSE(server.Running());
}

}  // namespace
}  // namespace drunvale::sim
