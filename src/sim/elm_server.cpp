// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_server.h"

#include <utility>

namespace drunvale::sim {

ElmServer::ElmServer(ElmSimConfig elm, EcuSimConfig ecu)
    : start_(SimClock::now()), chip_(elm, ecu, start_) {}

ElmServer::~ElmServer() {
  Stop();
}

bool ElmServer::Begin() {
  std::lock_guard lock(mutex_);
  if (started_ || stopRequested_) return false;
  started_ = true;
  running_ = true;
  return true;
}

bool ElmServer::Serve(std::unique_ptr<HostStream> stream) {
  if (!stream || !Begin()) return false;
  SetCurrent(stream.get());
  thread_ = std::thread([this, stream = std::move(stream)] {
    if (!ServeStream(*stream)) Fail(stream->Error());
    SetCurrent(nullptr);
    running_ = false;
  });
  return true;
}

bool ElmServer::Listen(std::unique_ptr<HostStreamListener> listener) {
  if (!listener || !Begin()) return false;
  {
    std::lock_guard lock(wakeMutex_);
    listener_ = listener.get();
  }
  thread_ = std::thread([this, listener = std::move(listener)] {
    while (!stopRequested_) {
      std::unique_ptr<HostStream> stream = listener->Accept();
      if (!stream) {
        if (!stopRequested_) Fail(listener->Error());
        break;
      }
      SetCurrent(stream.get());
      // A connection that fails is the peer's business; the next one may come.
      ServeStream(*stream);
      SetCurrent(nullptr);
    }
    {
      std::lock_guard lock(wakeMutex_);
      listener_ = nullptr;
    }
    running_ = false;
  });
  return true;
}

void ElmServer::Stop() {
  stopRequested_ = true;
  {
    std::lock_guard lock(wakeMutex_);
    if (current_) current_->Wake();
    if (listener_) listener_->Wake();
  }
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

void ElmServer::SetCurrent(HostStream* stream) {
  std::lock_guard lock(wakeMutex_);
  current_ = stream;
  // A Stop that came before the stream was known must still end it.
  if (stream && stopRequested_) stream->Wake();
}

void ElmServer::Fail(std::string error) {
  std::lock_guard lock(mutex_);
  error_ = std::move(error);
}

std::string ElmServer::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

// The chip's bytes go out when they are due on the real clock; the host's are handed to the
// chip with the moment they were read.
bool ElmServer::ServeStream(HostStream& stream) {
  std::vector<uint8_t> in;
  std::vector<TimedByte> due;
  std::vector<uint8_t> out;
  while (!stopRequested_) {
    std::optional<SimTime> deadline;
    {
      std::lock_guard lock(mutex_);
      deadline = chip_.NextDeadline();
    }
    const HostStream::Event event = stream.Wait(deadline);
    if (event == HostStream::Event::Failed) return false;
    if (event == HostStream::Event::Closed) return true;
    const uint32_t rate = stream.HostRate();
    in.clear();
    if (event == HostStream::Event::Readable && !stream.Read(in)) return stream.Error().empty();
    bool drop = false;
    due.clear();
    {
      std::lock_guard lock(mutex_);
      // Taken under the lock: a fault switch may have moved the chip on meanwhile.
      const SimTime now = SimClock::now();
      if (!in.empty()) chip_.Receive(in.data(), in.size(), now, rate);
      chip_.Advance(now);
      chip_.TakeDue(now, rate, due);
      drop = chip_.DropWanted() && !chip_.OutputPending();
      if (drop) chip_.ClearDrop();
    }
    out.clear();
    for (const TimedByte& byte : due)
      out.push_back(byte.byte);
    if (!out.empty() && !stream.Write(out.data(), out.size())) return false;
    if (drop) {
      stream.Close();
      return true;
    }
  }
  return true;
}

void ElmServer::SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) {
  {
    std::lock_guard lock(mutex_);
    const SimTime now = SimClock::now();
    chip_.Advance(now);
    chip_.Unit().Model().SetIgnitionOff(now, duration);
  }
  std::lock_guard lock(wakeMutex_);
  if (current_) current_->Wake();
}

void ElmServer::SetIgnitionOn() {
  {
    std::lock_guard lock(mutex_);
    chip_.Advance(SimClock::now());
    chip_.Unit().Model().SetIgnitionOn();
  }
  std::lock_guard lock(wakeMutex_);
  if (current_) current_->Wake();
}

std::vector<RequestRecord> ElmServer::Requests() const {
  std::lock_guard lock(mutex_);
  return chip_.Unit().Requests();
}

std::vector<ServedSample> ElmServer::ServedSamples() const {
  std::lock_guard lock(mutex_);
  return chip_.Unit().Samples();
}

std::vector<ObdServedSample> ElmServer::ObdSamples() const {
  std::lock_guard lock(mutex_);
  const ObdCar* car = chip_.Car();
  return car ? car->Served() : std::vector<ObdServedSample>{};
}

}  // namespace drunvale::sim
