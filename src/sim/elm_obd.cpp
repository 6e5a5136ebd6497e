// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated ELM327's standard OBD-II side: the 5-baud init, ISO 9141-2 messages and
// ISO 15765-4 CAN, for the car of ElmSimConfig::obdCar.
#include <cstdio>

#include "sim/elm_chip.h"
#include "sim/elm_timing.h"

namespace drunvale::sim {

using namespace elm_timing;

void ElmChip::StartSlowInit(SimTime at) {
  if (showInit_) Emit("BUS INIT: ...", at);
  WaitFor(Phase::SlowInit, std::max(at, kline_.LastActivity() + kInitQuiet) + kSlowInit);
}

void ElmChip::SlowInitDone(SimTime at) {
  const std::optional<std::array<uint8_t, 2>> keys = kline_.FiveBaudInit(at);
  // The key bytes tell ISO 9141-2 (08 08 or 94 94) from ISO 14230-4.
  int woke = 0;
  if (keys) {
    woke = ((*keys)[0] == 0x08 || (*keys)[0] == 0x94) && (*keys)[0] == (*keys)[1] ? 3 : 4;
  }
  const bool searching = protocol_ == 0 || protocolAuto_;
  if (woke != 0 && (searching || woke == protocol_)) {
    keyBytes_ = *keys;
    busOpen_ = true;
    if (searching) found_ = woke;
    if (showInit_) EmitLine("OK", at);
    return WaitFor(Phase::RequestQuiet, std::max(at, kline_.LastActivity() + kP3));
  }
  if (showInit_) EmitLine("ERROR", at);
  if (job_ == Job::Request && searching) return StartFastInit(at);
  FinishJob(at);
}

void ElmChip::SearchCan(SimTime at) {
  searchingCan_ = true;
  WaitFor(Phase::CanTry, at + kCanSetup);
}

void ElmChip::SendCanRequest(SimTime at) {
  can_->Clear();
  answers_ = 0;
  answerStarted_ = false;
  canLeft_ = 0;
  requestEnd_ = can_->Send(request_.data, at, kline_.Unit().Model().IgnitionOn());
  WaitFor(Phase::Answers, requestEnd_ + AnswerTimeout());
}

void ElmChip::CanFrameIn(const CanFrame& frame, SimTime at) {
  if (phase_ != Phase::Answers) return;
  if (!answerStarted_) {
    answerStarted_ = true;
    measuredDelay_ = at - requestEnd_;
  }
  phaseDeadline_ = at + AnswerTimeout();
  const uint8_t* d = frame.data.data();
  const std::string gap = settings_.spaces ? " " : "";
  if (settings_.headers) {
    char id[4];
    std::snprintf(id, sizeof id, "%03X", frame.id & 0x7FF);
    EmitLine(id + gap + HexText(d, frame.data.size(), settings_.spaces), at);
  } else if ((d[0] >> 4) == 0) {
    EmitLine(HexText(d + 1, d[0] & 0x0F, settings_.spaces), at);
  } else if ((d[0] >> 4) == 1) {
    // Without headers the chip shows a long answer as its length, then numbered lines.
    const size_t length = ((d[0] & 0x0F) << 8) | d[1];
    char count[4];
    std::snprintf(count, sizeof count, "%03zX", length & 0xFFF);
    EmitLine(count, at);
    EmitLine("0:" + gap + HexText(d + 2, 6, settings_.spaces), at);
    canLeft_ = length > 6 ? length - 6 : 0;
  } else if ((d[0] >> 4) == 2) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const size_t n = std::min<size_t>(7, canLeft_);
    canLeft_ -= n;
    EmitLine(std::string(1, kDigits[d[0] & 0x0F]) + ":" + gap + HexText(d + 1, n, settings_.spaces),
             at);
  }
  if (!frame.endsMessage) return;
  ++answers_;
  if (request_.expectedAnswers > 0 && answers_ >= request_.expectedAnswers) EndRequest(at);
}

void ElmChip::IsoByte(uint8_t byte, SimTime at) {
  if (!answerStarted_) {
    answerStarted_ = true;
    measuredDelay_ = at - requestEnd_;
  }
  isoMessage_.push_back(byte);
  isoMessageEnd_ = at + kIsoMessageGap;
  phaseDeadline_ = std::max(at + AnswerTimeout(), *isoMessageEnd_);
}

void ElmChip::IsoMessageDone(SimTime at) {
  std::vector<uint8_t> b;
  b.swap(isoMessage_);
  isoMessageEnd_.reset();
  if (phase_ != Phase::Answers || b.size() < 4) return;
  const bool intact = Checksum(b.data(), b.size() - 1) == b.back();
  std::string text = settings_.headers ? HexText(b.data(), b.size(), settings_.spaces)
                                       : HexText(b.data() + 3, b.size() - 4, settings_.spaces);
  if (!intact) text += settings_.spaces ? " <DATA ERROR" : "<DATA ERROR";
  EmitLine(text, at);
  ++answers_;
  if (request_.expectedAnswers > 0 && answers_ >= request_.expectedAnswers) EndRequest(at);
}

std::vector<uint8_t> ElmChip::KLineRequestFrame(const std::vector<uint8_t>& data) const {
  if (Protocol() != 3) return Iso14230Frame(settings_.header, data);
  std::vector<uint8_t> frame{0x68, 0x6A, kTesterAddress};
  if (settings_.headerSet) frame.assign(settings_.header.begin(), settings_.header.end());
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Checksum(frame.data(), frame.size()));
  return frame;
}

std::vector<uint8_t> ElmChip::KeepAliveFrame() const {
  std::vector<uint8_t> wake = settings_.wakeMessage;
  if (Protocol() == 3 && !settings_.wakeMessageSet) wake = {0x68, 0x6A, kTesterAddress, 0x01, 0x00};
  wake.push_back(Checksum(wake.data(), wake.size()));
  return wake;
}

}  // namespace drunvale::sim
