// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_chip.h"

#include <algorithm>
#include <cctype>

#include "sim/elm_timing.h"

namespace drunvale::sim {
using namespace elm_timing;
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFullReset{900};      // AT Z, power-up
constexpr milliseconds kWarmStart{100};      // AT WS
constexpr milliseconds kSplitPromptGap{20};  // the split-prompt clone's later write

SimClock::duration SerialByteTime(const ElmSimConfig& config) {
  const uint32_t rate = config.throughputRate != 0 ? config.throughputRate : config.serialRate;
  if (!config.serialPacing || rate == 0) return SimClock::duration::zero();
  return std::chrono::duration_cast<SimClock::duration>(
      std::chrono::nanoseconds(10'000'000'000LL / rate));
}

// A byte sent at one rate and read at another: framing goes wrong and the high bit comes up.
uint8_t Garbled(uint8_t byte) {
  return static_cast<uint8_t>(0x80 | (byte >> 1));
}

std::optional<SimTime> Earlier(std::optional<SimTime> a, std::optional<SimTime> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace

ElmChip::ElmChip(const ElmSimConfig& config, const EcuSimConfig& ecu, SimTime start)
    : config_(config),
      serialByteTime_(SerialByteTime(config)),
      kline_(ecu, start),
      // The chip's own timers end its answers, so a frame is handed over the moment it is asked.
      assembler_(std::chrono::microseconds(0)),
      inputFree_(start),
      outputFree_(start) {
  if (!config.obdCar) return;
  car_ = std::make_unique<ObdCar>(*config.obdCar, ecu, start);
  if (config.obdCar->bus == ObdBus::Can11At500) {
    can_ = std::make_unique<ObdCanBus>(*car_);
    if (!config.obdCar->manufacturerUnit) kline_.DetachManufacturerUnit();
  } else {
    kline_.AttachObd(*car_, config.obdCar->manufacturerUnit);
  }
}

void ElmChip::PowerUp(SimTime now) {
  protocol_ = 0;
  protocolAuto_ = false;
  found_ = 0;
  keyBytes_ = {0, 0};
  input_.clear();
  output_.clear();
  lineEndPending_ = false;
  dropWanted_ = false;
  Reset(now, true);
}

void ElmChip::Receive(const uint8_t* bytes, size_t n, SimTime now, uint32_t hostRate) {
  Advance(now);
  const bool understood = hostRate == 0 || hostRate == config_.serialRate;
  for (size_t i = 0; i < n; ++i) {
    inputFree_ = std::max(now, inputFree_) + serialByteTime_;
    input_.push_back({understood ? bytes[i] : Garbled(bytes[i]), inputFree_});
  }
}

void ElmChip::TakeDue(SimTime now, uint32_t hostRate, std::vector<TimedByte>& out) {
  const bool understood = hostRate == 0 || hostRate == config_.serialRate;
  while (!output_.empty() && output_.front().at <= now) {
    TimedByte byte = output_.front();
    if (!understood) byte.byte = Garbled(byte.byte);
    out.push_back(byte);
    output_.pop_front();
  }
}

bool ElmChip::Working() const {
  return phase_ != Phase::Idle && phase_ != Phase::Resetting && phase_ != Phase::Frozen;
}

std::optional<SimTime> ElmChip::KeepAliveDue() const {
  // Keep-alives go out only while the bus is open and nothing else happens.
  if (phase_ != Phase::Idle || !busOpen_ || settings_.wakeInterval == 0) return std::nullopt;
  return kline_.LastActivity() + milliseconds(20 * settings_.wakeInterval);
}

std::optional<SimTime> ElmChip::NextEvent() const {
  std::optional<SimTime> next = Earlier(kline_.NextDeadline(), KeepAliveDue());
  if (can_) next = Earlier(next, can_->NextDeadline());
  next = Earlier(next, isoMessageEnd_);
  if (!input_.empty()) next = Earlier(next, input_.front().at);
  if (phase_ != Phase::Idle && phase_ != Phase::Frozen) next = Earlier(next, phaseDeadline_);
  return next;
}

std::optional<SimTime> ElmChip::NextDeadline() const {
  std::optional<SimTime> next = NextEvent();
  if (!output_.empty()) next = Earlier(next, output_.front().at);
  return next;
}

void ElmChip::Advance(SimTime now) {
  std::optional<SimTime> last;
  int repeats = 0;
  while (true) {
    std::optional<SimTime> next = NextEvent();
    if (!next || *next > now) return;
    // Never spin on an instant that does not move.
    repeats = next == last ? repeats + 1 : 0;
    if (repeats > 16) return;
    last = next;
    Step(*next);
  }
}

void ElmChip::Step(SimTime at) {
  std::vector<uint8_t> fromUnit;
  kline_.Advance(at, fromUnit);
  for (uint8_t byte : fromUnit)
    UnitByte(byte, at);
  if (can_) {
    std::vector<CanFrame> frames;
    can_->TakeDue(at, frames);
    for (const CanFrame& frame : frames)
      CanFrameIn(frame, at);
  }
  if (isoMessageEnd_ && *isoMessageEnd_ <= at) IsoMessageDone(at);
  while (!input_.empty() && input_.front().at <= at) {
    Input in = input_.front();
    input_.pop_front();
    HostByte(in.byte, in.at);
  }
  if (phase_ != Phase::Idle && phase_ != Phase::Frozen && phaseDeadline_ <= at) {
    PhaseDue(at);
  } else if (std::optional<SimTime> wakeup = KeepAliveDue(); wakeup && *wakeup <= at) {
    kline_.Send(KeepAliveFrame(), at);
  }
}

void ElmChip::HostByte(uint8_t byte, SimTime at) {
  if (phase_ == Phase::Resetting || phase_ == Phase::Frozen) return;
  if (Working()) {
    if (!config_.quirks.ignoresEarlyBytes) Stop(at);
    return;
  }
  if (settings_.echo) Emit(std::string(1, static_cast<char>(byte)), at);
  if (byte == '\r') {
    std::string line;
    line.swap(lineBuffer_);
    RunLine(std::move(line), at);
  } else if (byte > ' ') {
    // Spaces and control characters may sit anywhere in a command.
    lineBuffer_ += static_cast<char>(std::toupper(byte));
  }
}

void ElmChip::UnitByte(uint8_t byte, SimTime at) {
  if (phase_ != Phase::InitAnswer && phase_ != Phase::Answers) return;
  if (phase_ == Phase::Answers && Protocol() == 3) return IsoByte(byte, at);
  if (phase_ == Phase::Answers && !answerStarted_) {
    answerStarted_ = true;
    measuredDelay_ = at - requestEnd_;
  }
  // The timer starts again with every byte heard.
  phaseDeadline_ =
      at + (phase_ == Phase::Answers ? AnswerTimeout() : milliseconds(4 * settings_.timer));
  if (std::optional<ReceivedFrame> frame = assembler_.Push(byte, at)) {
    if (phase_ == Phase::InitAnswer) {
      InitFrame(*frame, at);
    } else {
      AnswerFrame(std::move(*frame), at);
    }
  }
}

void ElmChip::WaitFor(Phase phase, SimTime until) {
  phase_ = phase;
  phaseDeadline_ = until;
}

void ElmChip::PhaseDue(SimTime at) {
  switch (phase_) {
    case Phase::Resetting:
      if (config_.quirks.garbageBeforeBanner) Emit(std::string("\0\0\xFC\xE0\0\xF8", 6), at);
      Emit(LineEnd() + LineEnd(), at);
      EmitLine(config_.version, at);
      EmitPrompt(at);
      phase_ = Phase::Idle;
      return;
    case Phase::Searching:
      StartSlowInit(at);
      return;
    case Phase::SlowInit:
      SlowInitDone(at);
      return;
    case Phase::CanTry:
      SendCanRequest(at);
      return;
    case Phase::InitQuiet:
      if (kline_.LastActivity() + kInitQuiet > at) {
        WaitFor(Phase::InitQuiet, kline_.LastActivity() + kInitQuiet);
      } else {
        WaitFor(Phase::InitPattern, at + kInitPattern);
      }
      return;
    case Phase::InitPattern: {
      requestEnd_ = kline_.Send(Iso14230Frame(settings_.header, {0x81}), at);
      assembler_.Clear();
      WaitFor(Phase::InitAnswer, requestEnd_ + milliseconds(4 * settings_.timer));
      return;
    }
    case Phase::InitAnswer:
      InitFailed(at);
      return;
    case Phase::RequestQuiet:
      if (kline_.LastActivity() + kP3 > at) {
        WaitFor(Phase::RequestQuiet, kline_.LastActivity() + kP3);
      } else {
        SendRequest(at);
      }
      return;
    case Phase::Answers:
      EndRequest(at);
      return;
    case Phase::Failing:
      EmitLine(failText_, at);
      FinishJob(at);
      return;
    case Phase::Idle:
    case Phase::Frozen:
      return;
  }
}

void ElmChip::RunLine(std::string line, SimTime at) {
  if (line.empty()) {
    // A lone CR repeats the last command.
    if (lastCommand_.empty()) return EmitPrompt(at);
    line = lastCommand_;
  } else {
    lastCommand_ = line;
  }
  if (line.rfind("AT", 0) == 0) return RunAt(std::string_view(line).substr(2), at);
  std::optional<HexRequest> request = ParseHexRequest(line);
  // A CAN single frame holds seven bytes.
  const size_t most = settings_.allowLong && Protocol() < 6 ? 8 : 7;
  if (!request || request->data.size() > most) {
    EmitLine("?", at);
    return EmitPrompt(at);
  }
  StartRequest(*request, at);
}

void ElmChip::Reset(SimTime at, bool full) {
  settings_ = ElmSettings{};
  busOpen_ = false;
  measuredDelay_.reset();
  lineBuffer_.clear();
  lastCommand_.clear();
  job_ = Job::None;
  WaitFor(Phase::Resetting, at + (full ? kFullReset : kWarmStart));
}

void ElmChip::Defaults() {
  settings_ = ElmSettings{};
  busOpen_ = false;
  measuredDelay_.reset();
}

void ElmChip::StartRequest(const HexRequest& request, SimTime at) {
  request_ = request;
  job_ = Job::Request;
  if (busOpen_) return WaitFor(Phase::RequestQuiet, std::max(at, kline_.LastActivity() + kP3));
  const bool searching = protocol_ == 0 || protocolAuto_;
  showInit_ = !searching || config_.quirks.busInitLine;
  searchingCan_ = false;
  switch (Protocol()) {
    case 0:
      EmitLine("SEARCHING...", at);
      return WaitFor(Phase::Searching, at + kSearchJ1850);
    case 5:
      return StartFastInit(at);
    case 1:
    case 2:
      failText_ = "NO DATA";
      return WaitFor(Phase::Failing, at + milliseconds(4 * settings_.timer));
    case 3:
    case 4:
      return StartSlowInit(at);
    case 6:
      if (can_) return SendCanRequest(at);
      [[fallthrough]];
    default:
      failText_ = "CAN ERROR";
      return WaitFor(Phase::Failing, at + kCanTry);
  }
}

void ElmChip::StartFastInit(SimTime at) {
  if (showInit_) Emit(config_.quirks.busInitLine ? "BUS INIT: ..." : "BUS INIT: ", at);
  WaitFor(Phase::InitQuiet, std::max(at, kline_.LastActivity() + kInitQuiet));
}

void ElmChip::InitFrame(const ReceivedFrame& frame, SimTime at) {
  const std::vector<uint8_t>& b = frame.bytes;
  if (b.size() < 4 || b[1] != settings_.header[2]) return;  // not for this tester
  const size_t headerSize = Iso14230HeaderSize(b);
  const bool positive = frame.checksumOk && b.size() == headerSize + 4 && b[headerSize] == 0xC1;
  // ISO 14230-4's key bytes; AT KW0 takes any.
  const bool keysKnown = positive && b[headerSize + 2] == 0x8F &&
                         (b[headerSize + 1] == 0xE9 || b[headerSize + 1] == 0x6B ||
                          b[headerSize + 1] == 0x6D || b[headerSize + 1] == 0xEF);
  if (!positive || (settings_.keyWordCheck && !keysKnown)) return InitFailed(at);
  keyBytes_ = {b[headerSize + 1], b[headerSize + 2]};
  busOpen_ = true;
  if (protocol_ == 0 || protocolAuto_) found_ = 5;
  if (showInit_) EmitLine("OK", at);
  if (job_ == Job::FastInit) return FinishJob(at);
  WaitFor(Phase::RequestQuiet, std::max(at, kline_.LastActivity() + kP3));
}

void ElmChip::InitFailed(SimTime at) {
  if (showInit_) EmitLine("ERROR", at);
  if (job_ == Job::Request && (protocol_ == 0 || protocolAuto_)) {
    if (protocol_ != 0) EmitLine("SEARCHING...", at);
    if (can_) return SearchCan(at);
    failText_ = "UNABLE TO CONNECT";
    return WaitFor(Phase::Failing, at + kSearchAfterFast);
  }
  FinishJob(at);
}

void ElmChip::SendRequest(SimTime at) {
  requestEnd_ = kline_.Send(KLineRequestFrame(request_.data), at);
  assembler_.Clear();
  isoMessage_.clear();
  isoMessageEnd_.reset();
  answers_ = 0;
  answerStarted_ = false;
  WaitFor(Phase::Answers, requestEnd_ + AnswerTimeout());
}

// Adaptive timing as we model it, fitted to what owners measured on K-line cars (3 to 4 answers
// a second at the defaults, 6 to 8 with AT ST 19): once the unit's delay is known, AT1 waits
// four times that and 100 ms more, AT2 twice that and 20 ms more, never longer than AT ST.
SimClock::duration ElmChip::AnswerTimeout() const {
  const SimClock::duration timer = milliseconds(4 * settings_.timer);
  if (settings_.adaptive == 0 || !measuredDelay_) return timer;
  const SimClock::duration adapted = settings_.adaptive == 1
                                         ? 4 * *measuredDelay_ + milliseconds(100)
                                         : 2 * *measuredDelay_ + milliseconds(20);
  return std::min(timer, adapted);
}

void ElmChip::AnswerFrame(ReceivedFrame frame, SimTime at) {
  std::vector<uint8_t>& b = frame.bytes;
  if (b.size() < 4 || b[1] != settings_.header[2]) return;  // not for this tester
  ++unitFrames_;
  if (config_.quirks.dataErrorEvery > 0 &&
      unitFrames_ % static_cast<uint64_t>(config_.quirks.dataErrorEvery) == 0) {
    b.back() = static_cast<uint8_t>(b.back() + 1);
  }
  const bool intact = Checksum(b.data(), b.size() - 1) == b.back();
  const size_t headerSize = Iso14230HeaderSize(b);
  const size_t dataSize = b.size() - headerSize - 1;
  size_t begin = settings_.headers ? 0 : headerSize;
  size_t end = settings_.headers ? b.size() : b.size() - 1;
  bool cut = false;
  if (dataSize > 7 && !settings_.allowLong) {
    if (config_.quirks.freezeOnLongAnswer) {
      phase_ = Phase::Frozen;
      job_ = Job::None;
      return;
    }
    // Without AL the chip keeps to seven data bytes; the checksum goes with the rest.
    end = headerSize + 7;
    cut = true;
  }
  std::string text = HexText(b.data() + begin, end - begin, settings_.spaces);
  if (!intact && !cut) text += settings_.spaces ? " <DATA ERROR" : "<DATA ERROR";
  EmitLine(text, at);
  ++answers_;
  if (request_.expectedAnswers > 0 && answers_ >= request_.expectedAnswers) EndRequest(at);
}

void ElmChip::EndRequest(SimTime at) {
  if (isoMessageEnd_) IsoMessageDone(at);
  if (searchingCan_) {
    searchingCan_ = false;
    if (answers_ > 0) {
      found_ = 6;
    } else {
      // Nothing on 11/500: the other CAN protocols find nothing either.
      failText_ = "UNABLE TO CONNECT";
      return WaitFor(Phase::Failing, at + kSearchAfterFast);
    }
  }
  if (answers_ == 0) {
    EmitLine("NO DATA", at);
    // Measure again: a unit that answered late once must not be cut off for good.
    measuredDelay_.reset();
  }
  FinishJob(at);
}

void ElmChip::FinishJob(SimTime at) {
  EmitPrompt(at);
  phase_ = Phase::Idle;
  if (job_ == Job::Request) {
    ++requests_;
    const int drop = config_.quirks.dropAfterRequests;
    if (drop > 0 && requests_ % static_cast<uint64_t>(drop) == 0) dropWanted_ = true;
  }
  job_ = Job::None;
}

void ElmChip::Stop(SimTime at) {
  if (can_) can_->Clear();
  isoMessage_.clear();
  isoMessageEnd_.reset();
  searchingCan_ = false;
  // STOPPED goes on a line of its own.
  if (!lineEndPending_ && lastEmitted_ != '\r' && lastEmitted_ != '\n' && lastEmitted_ != '>') {
    Emit(LineEnd(), at);
  }
  EmitLine("STOPPED", at);
  FinishJob(at);
}

void ElmChip::Emit(std::string_view text, SimTime at) {
  if (lineEndPending_) {
    lineEndPending_ = false;
    Emit(LineEnd(), at);
  }
  for (char c : text) {
    outputFree_ = std::max(at, outputFree_) + serialByteTime_;
    output_.push_back({static_cast<uint8_t>(c), outputFree_});
    lastEmitted_ = c;
  }
}

void ElmChip::EmitLine(std::string_view text, SimTime at) {
  Emit(text, at);
  if (config_.quirks.splitPrompt) {
    lineEndPending_ = true;
  } else {
    Emit(LineEnd(), at);
  }
}

void ElmChip::EmitPrompt(SimTime at) {
  if (!config_.quirks.splitPrompt) return Emit(LineEnd() + ">", at);
  const SimTime later = std::max(at, outputFree_) + kSplitPromptGap;
  const std::string tail = (lineEndPending_ ? LineEnd() : std::string()) + LineEnd() + ">";
  lineEndPending_ = false;
  Emit(tail, later);
}

}  // namespace drunvale::sim
