// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/adapter.h"
#include "link/elm_answer.h"
#include "link/worker_outlets.h"
#include "platform/clock.h"
#include "platform/stop_event.h"

namespace drunvale {

// An ELM327-compatible chip (genuine or a clone, on USB, Bluetooth or Wi-Fi) carrying KWP2000
// to the control unit over ISO 14230-4 at 10400 bit/s. It speaks in lines: a command or a
// request as hex text ending in CR, then the answer and the prompt '>'; nothing is sent before
// the prompt, as any byte aborts what the chip does. Headers are on, so every answer is the
// whole frame and the exchange checks its checksum and addresses itself.
class ElmAdapter final : public Adapter {
 public:
  // The serial speeds tried, the chip's default first. Bluetooth and TCP ignore the speed.
  static constexpr uint32_t kSpeeds[] = {38400, 9600, 115200, 57600, 230400};
  static constexpr uint32_t kResetWaitMs = 3000;
  static constexpr uint32_t kCommandWaitMs = 1000;
  // Beyond the chip's own wait for the control unit (ATST, about 200 ms by default).
  static constexpr uint32_t kRequestWaitMs = 1500;

  // How the last set-up ended, kept by the worker from one opening to the next.
  struct Memory {
    bool warmStart = false;  // ATZ lost the adapter once: ATWS from now on
    uint32_t lastSpeed = 0;  // the speed that answered last, tried first
  };

  ElmAdapter(SerialPort& port, TickClock& clock, StopEvent& stop, WorkerOutlets& outlets,
             std::string portName, Memory& memory);

  // Whether an ELM327 answers on the port at any speed; says nothing on the status line. The
  // speed found stays for Prepare.
  bool Answers();
  // Set up for the manufacturer's block: ISO 14230-4 to the control unit's own address.
  AdapterStep Prepare() override;
  // Set up for the standard OBD-II data instead: the chip's own headers, on `protocol` (its
  // ATSP number) or searching for one when 0.
  AdapterStep PrepareForObd(int protocol);
  struct Asked {
    AdapterStep step = AdapterStep::Silent;  // Silent: nothing answered ("NO DATA"...)
    ElmAnswer answer;
    uint32_t firstByte = 0;  // the tick of the answer's first byte
  };
  // One OBD request as hex ("010D"), expecting `answers` messages (0: whatever comes).
  Asked Ask(std::string_view request, int answers, uint32_t waitMs);
  // The protocol the chip is on (ATDPN), 0 when it cannot tell.
  int DescribeProtocol();
  Transfer Carry(const KwpFrame& request, std::array<uint8_t, kReceiveBufferSize>& answer,
                 uint32_t& replyEnd) override;
  bool MakesContactItself() const override { return true; }
  AdapterStep MakeContact(std::vector<uint8_t>& keyBytes) override;
  bool FollowsRateSwitch() const override { return false; }
  void Finish() override;

  uint32_t Speed() const { return speed_; }
  int LastPortError() const { return lastPortError_; }
  const std::string& Version() const { return version_; }

 private:
  enum class Read { Prompt, TimedOut, PortFailed, Stopped };
  struct Reply {
    Read read = Read::TimedOut;
    std::string text;
    ElmAnswer answer;
  };

  // Sends one line and reads to the prompt; `firstByte`, when given, learns when the answer's
  // first byte came.
  Reply Command(std::string_view line, uint32_t waitMs, uint32_t* firstByte = nullptr);
  Read ReadToPrompt(std::string& text, uint32_t waitMs, uint32_t* firstByte);
  AdapterStep FindSpeed(bool quiet);
  AdapterStep Reset();
  struct SetUpStep {
    const char* command;
    bool needed;  // without it the session cannot run
  };
  // Headers on: every answer is the whole frame, checked by the program. For the block the
  // header addresses the control unit physically, and so does the keep-alive, which by default
  // goes to the functional address the unit does not listen on.
  static constexpr SetUpStep kBlockSteps[] = {
      {"ATE0", true},   {"ATL0", false},         {"ATS0", false},
      {"ATH1", true},   {"ATSP5", true},         {"ATSH8110F1", true},
      {"ATKW0", false}, {"ATWM8110F13E", false}, {"ATAT1", false},
  };
  static constexpr SetUpStep kObdSteps[] = {
      {"ATE0", true}, {"ATL0", false}, {"ATS0", false}, {"ATH1", true}, {"ATAT1", false},
  };
  // The set-up commands; the missing ones have their fallback.
  AdapterStep SetUp(std::span<const SetUpStep> steps);
  AdapterStep AllowLongAnswers();
  void ShowFound();
  // A set-up command the chip would not take, said on the status line.
  AdapterStep Refused(const Reply& reply, std::string_view command);
  // A reply that ended without an answer to judge.
  AdapterStep Unanswered(const Reply& reply);

  SerialPort& port_;
  TickClock& clock_;
  StopEvent& stop_;
  WorkerOutlets& outlets_;
  std::string portName_;
  Memory& memory_;
  uint32_t speed_ = 0;
  std::string version_;
  // The chip takes a digit after a request saying how many answers to wait for, so it prints
  // the answer at once instead of waiting for more.
  bool countDigit_ = true;
  bool pending_ = false;  // the last answer said "response pending"
  int lastPortError_ = 0;
};

}  // namespace drunvale
