// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ecu_frames.h"
#include "sim/ecu_line.h"
#include "sim/ecu_sim_config.h"
#include "sim/elm_config.h"
#include "sim/elm_format.h"
#include "sim/elm_kline.h"
#include "sim/obd_can.h"
#include "sim/obd_car.h"
#include "sim/sim_records.h"

namespace drunvale::sim {

// One byte for the host and the moment it is out whole.
struct TimedByte {
  uint8_t byte;
  SimTime at;
};

// What AT commands set; AT D, WS and Z bring the defaults back.
struct ElmSettings {
  bool echo = true;
  bool linefeeds = false;
  bool spaces = true;
  bool headers = false;
  bool allowLong = false;
  bool keyWordCheck = true;
  std::array<uint8_t, 3> header{0xC1, 0x33, 0xF1};  // format, target, source
  bool headerSet = false;                           // AT SH: the same on every K-line protocol
  uint8_t timer = 0x32;                             // AT ST, in 4 ms
  int adaptive = 1;                                 // AT AT0, AT1, AT2
  uint8_t wakeInterval = 0x92;                      // AT SW, in 20 ms; 0: no wakeups
  std::vector<uint8_t> wakeMessage{0xC1, 0x33, 0xF1, 0x3E};
  bool wakeMessageSet = false;  // AT WM; ISO 9141-2 has a default of its own
};

// An ELM327 (or one of its clones) in front of the simulated control unit, without any I/O or
// thread: the host's bytes go in with the moment they were written, the chip's text comes out
// with the moment each byte is due, and everything in between runs on the caller's clock, real
// or virtual: the serial bytes at the serial rate, the K-line at 10400 bit/s, the unit's
// response delay, P3 before each request, the fast init and the timer after each answer.
// Transports (the in-process pipe, a pseudo-terminal, a TCP connection) only move bytes. Not
// thread-safe; its owner locks it.
class ElmChip {
 public:
  // The chip has been powered for a while: it listens at once.
  ElmChip(const ElmSimConfig& config, const EcuSimConfig& ecu, SimTime start);

  // Bytes the host wrote at now, sent at hostRate (0: a transport without one, always right).
  void Receive(const uint8_t* bytes, size_t n, SimTime now, uint32_t hostRate);
  // Plays every event due up to now, in order.
  void Advance(SimTime now);
  // Moves the output due by now to out; a host reading at another rate than the chip's gets
  // garbage in its place.
  void TakeDue(SimTime now, uint32_t hostRate, std::vector<TimedByte>& out);
  // The next moment Advance or TakeDue has something to do.
  std::optional<SimTime> NextDeadline() const;

  // Plugged in afresh: everything the chip had is gone, the control unit is the same; it is
  // deaf while it starts, then prints its banner.
  void PowerUp(SimTime now);
  // The drop quirk wants the connection closed; the transport does it and clears the flag.
  bool DropWanted() const { return dropWanted_; }
  bool OutputPending() const { return !output_.empty(); }
  void ClearDrop() { dropWanted_ = false; }

  EcuLine& Unit() { return kline_.Unit(); }
  const EcuLine& Unit() const { return kline_.Unit(); }
  const ElmSettings& Settings() const { return settings_; }
  // The standard OBD-II car, if one was configured.
  const ObdCar* Car() const { return car_.get(); }

 private:
  enum class Phase {
    Idle,          // reading a command line
    Resetting,     // AT Z, AT WS, power-up: deaf until the banner
    Frozen,        // a clone hung on a long answer: deaf for good
    Searching,     // trying J1850, which no simulated car has
    SlowInit,      // the 5-baud init to address 33
    CanTry,        // a search setting up CAN 11/500 before it asks
    InitQuiet,     // the K-line quiet long enough before a fast init
    InitPattern,   // the 25 ms low and 25 ms high
    InitAnswer,    // StartCommunication sent, the key bytes awaited
    RequestQuiet,  // P3 before the request
    Answers,       // the request sent, answers awaited until the timer runs out
    Failing,       // a protocol without a bus behind it giving up
  };
  // What the command in progress is.
  enum class Job { None, FastInit, Request };

  struct Input {
    uint8_t byte;
    SimTime at;
  };

  std::optional<SimTime> NextEvent() const;  // the chip's own, the output aside
  std::optional<SimTime> KeepAliveDue() const;
  void Step(SimTime at);
  void HostByte(uint8_t byte, SimTime at);
  void UnitByte(uint8_t byte, SimTime at);
  void PhaseDue(SimTime at);
  bool Working() const;

  void RunLine(std::string line, SimTime at);
  void RunAt(std::string_view command, SimTime at);
  void Reset(SimTime at, bool full);
  void Defaults();

  void StartRequest(const HexRequest& request, SimTime at);
  void StartFastInit(SimTime at);
  // The standard car's buses, in elm_obd.cpp.
  int Protocol() const { return found_ != 0 ? found_ : protocol_; }
  void StartSlowInit(SimTime at);
  void SlowInitDone(SimTime at);
  void SearchCan(SimTime at);
  void SendCanRequest(SimTime at);
  void CanFrameIn(const CanFrame& frame, SimTime at);
  void IsoByte(uint8_t byte, SimTime at);
  void IsoMessageDone(SimTime at);
  std::vector<uint8_t> KLineRequestFrame(const std::vector<uint8_t>& data) const;
  std::vector<uint8_t> KeepAliveFrame() const;
  void InitFrame(const ReceivedFrame& frame, SimTime at);
  void InitFailed(SimTime at);
  void SendRequest(SimTime at);
  void AnswerFrame(ReceivedFrame frame, SimTime at);
  void EndRequest(SimTime at);
  void FinishJob(SimTime at);
  void Stop(SimTime at);
  SimClock::duration AnswerTimeout() const;
  void WaitFor(Phase phase, SimTime until);

  // Output: the raw bytes, a line with its end, the prompt that ends an answer.
  void Emit(std::string_view text, SimTime at);
  void EmitLine(std::string_view text, SimTime at);
  void EmitPrompt(SimTime at);
  std::string LineEnd() const { return settings_.linefeeds ? "\r\n" : "\r"; }

  const ElmSimConfig config_;
  SimClock::duration serialByteTime_;
  ElmKLine kline_;
  std::unique_ptr<ObdCar> car_;
  std::unique_ptr<ObdCanBus> can_;  // when the car is on CAN
  FrameAssembler assembler_;

  // The chip's state: reset by PowerUp.
  ElmSettings settings_;
  int protocol_ = 0;           // 0: search; 1 to 12 as AT SP numbers them
  bool protocolAuto_ = false;  // AT SP A5: search when 5 fails
  int found_ = 0;              // the protocol a search settled on; 0: none yet
  bool searchingCan_ = false;  // this request is the search's try on CAN 11/500
  bool busOpen_ = false;
  std::array<uint8_t, 2> keyBytes_{0, 0};
  std::optional<SimClock::duration> measuredDelay_;  // for adaptive timing
  std::string lineBuffer_;
  std::string lastCommand_;
  Phase phase_ = Phase::Idle;
  Job job_ = Job::None;
  SimTime phaseDeadline_{};
  HexRequest request_;
  std::string failText_;   // what a protocol without a bus says when it gives up
  bool showInit_ = false;  // this request prints how the bus init went
  SimTime requestEnd_{};   // the request's last byte on the K-line
  int answers_ = 0;
  bool answerStarted_ = false;
  std::vector<uint8_t> isoMessage_;  // ISO 9141-2 bytes until a gap ends the message
  std::optional<SimTime> isoMessageEnd_;
  size_t canLeft_ = 0;  // bytes of a multi-frame answer still to come, for the H0 layout
  uint64_t unitFrames_ = 0;
  uint64_t requests_ = 0;
  bool dropWanted_ = false;

  std::deque<Input> input_;
  SimTime inputFree_{};
  std::deque<TimedByte> output_;
  SimTime outputFree_{};
  bool lineEndPending_ = false;  // the split-prompt clone holds the last line's end back
  char lastEmitted_ = '\r';
};

}  // namespace drunvale::sim
