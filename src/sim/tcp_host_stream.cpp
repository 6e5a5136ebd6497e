// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/tcp_host_stream.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_error.h"

namespace drunvale::sim {
namespace {

using namespace std::chrono_literals;

// How long a wait goes on before it looks for a wake; short beside any pause the chip makes.
constexpr auto kWakeSlice = 10ms;

class TcpHostStream final : public HostStream {
 public:
  explicit TcpHostStream(std::unique_ptr<SerialPort> port) : port_(std::move(port)) {}

  Event Wait(std::optional<SimTime> deadline) override {
    if (!pending_.empty()) return Event::Readable;
    for (;;) {
      if (!port_) return Event::Closed;
      if (woken_.exchange(false)) return Event::Woken;
      std::chrono::milliseconds slice = kWakeSlice;
      if (deadline) {
        const auto left = *deadline - SimClock::now();
        if (left <= SimClock::duration::zero()) return Event::Timeout;
        // Rounded up, so the wait never ends just short of the deadline.
        slice = std::min(slice, std::chrono::ceil<std::chrono::milliseconds>(left));
      }
      if (!Fill(static_cast<uint32_t>(slice.count()))) return Event::Closed;
      if (!pending_.empty()) return Event::Readable;
    }
  }

  bool Read(std::vector<uint8_t>& bytes) override {
    const bool open = pending_.empty() && port_ ? Fill(0) : port_ != nullptr;
    bytes.insert(bytes.end(), pending_.begin(), pending_.end());
    pending_.clear();
    return open;
  }

  bool Write(const uint8_t* bytes, size_t n) override {
    if (!port_) return false;
    const IoResult written = port_->Write(bytes, n);
    if (!written || written.count != n) {
      // The peer went away: the connection ends here, as when it is read.
      port_.reset();
      return false;
    }
    return true;
  }

  uint32_t HostRate() override { return 0; }
  void Close() override { port_.reset(); }
  void Wake() override { woken_ = true; }
  std::string Error() const override { return {}; }

 private:
  // Reads what comes within waitMs into pending_; false once the peer closed or reset the
  // connection, which for a TCP client is its way of leaving, not a failure of the server.
  bool Fill(uint32_t waitMs) {
    port_->SetTimeouts({.interByteMs = 1,
                        .totalConstantMs = waitMs,
                        .totalPerByteMs = 0,
                        .writeConstantMs = 1000,
                        .writePerByteMs = 1});
    std::array<uint8_t, 4096> chunk{};
    const IoResult got = port_->Read(chunk.data(), chunk.size());
    pending_.insert(pending_.end(), chunk.begin(), chunk.begin() + got.count);
    if (!got) port_.reset();
    return static_cast<bool>(got);
  }

  std::unique_ptr<SerialPort> port_;
  std::vector<uint8_t> pending_;
  std::atomic<bool> woken_{false};
};

class TcpHostStreamListener final : public HostStreamListener {
 public:
  explicit TcpHostStreamListener(std::unique_ptr<TcpListener> listener)
      : listener_(std::move(listener)) {}

  std::unique_ptr<HostStream> Accept() override {
    for (;;) {
      AcceptedClient client = listener_->Accept(1000);
      switch (client.status) {
        case AcceptStatus::Accepted:
          return std::make_unique<TcpHostStream>(std::move(client.port));
        case AcceptStatus::TimedOut:
          continue;
        case AcceptStatus::Stopped:
          return nullptr;
        case AcceptStatus::Failed:
          error_ = "cannot take a connection: " + SystemErrorText(client.systemError);
          return nullptr;
      }
    }
  }

  // Ends a waiting Accept; the server only wakes its listener to stop it.
  void Wake() override { listener_->Stop(); }
  std::string Error() const override { return error_; }

 private:
  std::unique_ptr<TcpListener> listener_;
  std::string error_;
};

}  // namespace

std::unique_ptr<HostStreamListener> MakeTcpHostStreamListener(
    std::unique_ptr<TcpListener> listener) {
  return std::make_unique<TcpHostStreamListener>(std::move(listener));
}

}  // namespace drunvale::sim
