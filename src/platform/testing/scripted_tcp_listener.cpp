// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/testing/scripted_tcp_listener.h"

#include <algorithm>

namespace drunvale {

ScriptedTcpListener::ScriptedTcpListener(ManualTickClock& clock, uint16_t port)
    : clock_(clock), port_(port) {}

uint32_t ScriptedTcpListener::Until(uint32_t tickMs) const {
  const auto left = static_cast<int32_t>(tickMs - clock_.NowMs());  // across the wrap
  return left > 0 ? static_cast<uint32_t>(left) : 0;
}

AcceptedClient ScriptedTcpListener::Accept(uint32_t timeoutMs) {
  std::lock_guard lock(mutex_);
  if (failure_) {
    const int error = *failure_;
    failure_.reset();
    return {AcceptStatus::Failed, nullptr, error};
  }
  if (stopAt_ && Until(*stopAt_) == 0) stopped_ = true;
  if (stopped_) return {AcceptStatus::Stopped, nullptr};
  const std::optional<uint32_t> untilStop =
      stopAt_ ? std::optional<uint32_t>(Until(*stopAt_)) : std::nullopt;
  const std::optional<uint32_t> untilClient =
      clients_.empty() ? std::nullopt : std::optional<uint32_t>(Until(clients_.front().atMs));
  // A stop and a client at the same instant: the stop wins, as the real one looks at it first.
  if (untilStop && *untilStop <= timeoutMs && (!untilClient || *untilStop <= *untilClient)) {
    clock_.Advance(*untilStop);
    stopped_ = true;
    return {AcceptStatus::Stopped, nullptr};
  }
  if (untilClient && *untilClient <= timeoutMs) {
    clock_.Advance(*untilClient);
    std::unique_ptr<SerialPort> connection = std::move(clients_.front().connection);
    clients_.pop_front();
    return {AcceptStatus::Accepted, std::move(connection)};
  }
  clock_.Advance(timeoutMs);
  return {AcceptStatus::TimedOut, nullptr};
}

void ScriptedTcpListener::Stop() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
}

void ScriptedTcpListener::Arrive(std::unique_ptr<SerialPort> connection, uint32_t atMs) {
  std::lock_guard lock(mutex_);
  const auto later = std::find_if(clients_.begin(), clients_.end(), [&](const Client& client) {
    return static_cast<int32_t>(client.atMs - atMs) > 0;
  });
  clients_.insert(later, Client{std::move(connection), atMs});
}

void ScriptedTcpListener::StopAt(uint32_t atMs) {
  std::lock_guard lock(mutex_);
  stopAt_ = atMs;
}

void ScriptedTcpListener::FailNextAccept(int systemError) {
  std::lock_guard lock(mutex_);
  failure_ = systemError;
}

size_t ScriptedTcpListener::Waiting() const {
  std::lock_guard lock(mutex_);
  return clients_.size();
}

}  // namespace drunvale
