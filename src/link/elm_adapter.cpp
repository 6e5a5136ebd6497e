// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/elm_adapter.h"

#include <cstring>

#include "link/kwp_services.h"
#include "platform/socket_name.h"

namespace drunvale {
namespace {

// A harmless line no chip takes: whatever answers it with a prompt is an ELM327.
constexpr std::string_view kProbe = "\x7F\x7F";
constexpr uint32_t kProbeWaitMs = 400;
// Longer than any answer the session asks for, so a chip that never stops is cut off.
constexpr size_t kMaxAnswerText = 4096;

// The control unit did not answer the chip's wake-up or request.
bool SaysSilent(const ElmAnswer& answer) {
  for (const std::string& status : answer.statuses) {
    if (status == "NO DATA" || status == "UNABLE TO CONNECT") return true;
    if (status.starts_with("BUS INIT:") && status.ends_with("ERROR")) return true;
  }
  return false;
}

std::optional<uint8_t> HexByte(std::string_view two) {
  if (two.size() != 2) return std::nullopt;
  uint8_t value = 0;
  for (char c : two) {
    value <<= 4;
    if (c >= '0' && c <= '9')
      value |= c - '0';
    else if (c >= 'A' && c <= 'F')
      value |= c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      value |= c - 'a' + 10;
    else
      return std::nullopt;
  }
  return value;
}

// One hex digit, as ATSP and a request's answer count take it.
std::string ElmDigit(int value) {
  return std::string(1, "0123456789ABCDEF"[value & 0x0F]);
}

// "1:6B 2:8F" as ATKW shows the key bytes.
std::vector<uint8_t> KeyBytes(const ElmAnswer& answer) {
  for (const std::string& line : answer.statuses) {
    const size_t one = line.find("1:");
    const size_t two = line.find("2:");
    if (one == std::string::npos || two == std::string::npos) continue;
    const auto first = HexByte(std::string_view(line).substr(one + 2, 2));
    const auto second = HexByte(std::string_view(line).substr(two + 2, 2));
    if (first && second) return {*first, *second};
  }
  return {};
}

}  // namespace

ElmAdapter::ElmAdapter(SerialPort& port, TickClock& clock, StopEvent& stop, WorkerOutlets& outlets,
                       std::string portName, Memory& memory)
    : port_(port),
      clock_(clock),
      stop_(stop),
      outlets_(outlets),
      portName_(std::move(portName)),
      memory_(memory) {
  // Short reads: the loop looks for the prompt after each.
  SerialTimeouts timeouts;
  timeouts.interByteMs = 20;
  timeouts.totalConstantMs = 50;
  timeouts.totalPerByteMs = 0;
  port_.SetTimeouts(timeouts);
}

ElmAdapter::Read ElmAdapter::ReadToPrompt(std::string& text, uint32_t waitMs, uint32_t* firstByte) {
  const uint32_t start = clock_.NowMs();
  uint8_t buffer[1];
  while (text.size() < kMaxAnswerText) {
    // A byte at a time: a longer read would wait out the gap after the prompt, which on CAN
    // costs as much as the answer itself. The first byte's arrival is then known too.
    const IoResult got = port_.Read(buffer, 1);
    if (!got) {
      lastPortError_ = got.systemError;
      return Read::PortFailed;
    }
    if (got.count > 0 && text.empty() && firstByte) *firstByte = clock_.NowMs();
    text.append(reinterpret_cast<const char*>(buffer), got.count);
    if (text.find('>') != std::string::npos) return Read::Prompt;
    if (clock_.NowMs() - start >= waitMs) return Read::TimedOut;
  }
  return Read::TimedOut;
}

ElmAdapter::Reply ElmAdapter::Command(std::string_view line, uint32_t waitMs, uint32_t* firstByte) {
  Reply reply;
  std::string out(line);
  out += '\r';
  const IoResult written = port_.Write(reinterpret_cast<const uint8_t*>(out.data()), out.size());
  if (!written) {
    lastPortError_ = written.systemError;
    reply.read = Read::PortFailed;
    return reply;
  }
  reply.read = ReadToPrompt(reply.text, waitMs, firstByte);
  reply.answer = ParseElmAnswer(reply.text, line);
  return reply;
}

AdapterStep ElmAdapter::Unanswered(const Reply& reply) {
  if (reply.read == Read::PortFailed) return AdapterStep::PortFailed;
  return AdapterStep::Silent;
}

bool ElmAdapter::Answers() {
  return FindSpeed(true) == AdapterStep::Ok;
}

AdapterStep ElmAdapter::Prepare() {
  AdapterStep step = speed_ != 0 ? AdapterStep::Ok : FindSpeed(false);
  if (step == AdapterStep::Ok) step = Reset();
  if (step == AdapterStep::Ok) step = SetUp(kBlockSteps);
  if (step == AdapterStep::Ok) step = AllowLongAnswers();
  if (step == AdapterStep::Ok) ShowFound();
  return step;
}

AdapterStep ElmAdapter::PrepareForObd(int protocol) {
  AdapterStep step = speed_ != 0 ? AdapterStep::Ok : FindSpeed(false);
  if (step == AdapterStep::Ok) step = Reset();
  if (step == AdapterStep::Ok) step = SetUp(kObdSteps);
  if (step != AdapterStep::Ok) return step;
  // Long answers only make the VIN come in one piece on K-line; a clone without them will do.
  if (const Reply longAnswers = Command("ATAL", kCommandWaitMs);
      longAnswers.read == Read::PortFailed) {
    return AdapterStep::PortFailed;
  }
  const std::string select = protocol > 0 ? "ATSP" + ElmDigit(protocol) : std::string("ATSP0");
  const Reply selected = Command(select, kCommandWaitMs);
  if (selected.read != Read::Prompt || !selected.answer.Ok()) return Refused(selected, select);
  ShowFound();
  return AdapterStep::Ok;
}

ElmAdapter::Asked ElmAdapter::Ask(std::string_view request, int answers, uint32_t waitMs) {
  Asked asked;
  const bool digit = countDigit_ && answers > 0 && answers < 16;
  Reply reply = Command(digit ? std::string(request) + ElmDigit(answers) : std::string(request),
                        waitMs, &asked.firstByte);
  if (digit && reply.read == Read::Prompt && reply.answer.NotUnderstood()) {
    countDigit_ = false;
    reply = Command(request, waitMs, &asked.firstByte);
  }
  asked.answer = std::move(reply.answer);
  switch (reply.read) {
    case Read::Prompt:
      asked.step = SaysSilent(asked.answer) ? AdapterStep::Silent : AdapterStep::Ok;
      break;
    case Read::PortFailed:
      asked.step = AdapterStep::PortFailed;
      break;
    case Read::Stopped:
      asked.step = AdapterStep::Stopped;
      break;
    case Read::TimedOut:
      asked.step = AdapterStep::Silent;
      break;
  }
  return asked;
}

int ElmAdapter::DescribeProtocol() {
  const Reply described = Command("ATDPN", kCommandWaitMs);
  if (described.read != Read::Prompt) return 0;
  // "A6" when found by the search (two hex digits, so it parses as a byte), "6" when set.
  const ElmAnswer& a = described.answer;
  if (a.statuses.empty() && a.data.size() == 1 && a.data[0].size() == 1) {
    return (a.data[0][0] >> 4) == 0x0A ? a.data[0][0] & 0x0F : 0;
  }
  if (a.statuses.empty() || a.statuses.back().empty()) return 0;
  const char last = a.statuses.back().back();
  if (last >= '1' && last <= '9') return last - '0';
  if (last >= 'A' && last <= 'C') return last - 'A' + 10;
  return 0;
}

void ElmAdapter::ShowFound() {
  const std::string speed =
      IsSocketName(portName_) ? std::string() : ", " + std::to_string(speed_) + " бит/с";
  outlets_.ShowStatus("Адаптер " + (version_.empty() ? std::string("ELM327") : version_) + " на " +
                      portName_ + speed + ".");
}

AdapterStep ElmAdapter::FindSpeed(bool quiet) {
  std::vector<uint32_t> speeds;
  if (memory_.lastSpeed != 0) speeds.push_back(memory_.lastSpeed);
  for (uint32_t speed : kSpeeds)
    if (speed != memory_.lastSpeed) speeds.push_back(speed);
  if (!quiet) outlets_.ShowStatus("Ищем адаптер ELM327 на " + portName_ + "...");
  for (uint32_t speed : speeds) {
    if (stop_.Wait(0) == WaitResult::Signalled) return AdapterStep::Stopped;
    // A speed the port will not take is only one speed fewer to try.
    if (!port_.SetLine(speed)) continue;
    if (const IoResult purged = port_.Purge(); !purged) {
      lastPortError_ = purged.systemError;
      return AdapterStep::PortFailed;
    }
    const Reply reply = Command(kProbe, kProbeWaitMs);
    if (reply.read == Read::PortFailed) return AdapterStep::PortFailed;
    if (reply.read == Read::Prompt) {
      speed_ = speed;
      memory_.lastSpeed = speed;
      return AdapterStep::Ok;
    }
  }
  if (!quiet) {
    // A network adapter has no serial speed of its own to blame.
    outlets_.ShowCause(
        "Адаптер ELM327 на " + portName_ +
        (IsSocketName(portName_) ? " не отвечает." : " не отвечает ни на одной скорости."));
  }
  return AdapterStep::Unusable;
}

AdapterStep ElmAdapter::Reset() {
  if (!memory_.warmStart) {
    const Reply reset = Command("ATZ", kResetWaitMs);
    if (reset.read == Read::Prompt) {
      if (!reset.answer.statuses.empty()) version_ = reset.answer.statuses.back();
      return AdapterStep::Ok;
    }
    // Some Bluetooth clones drop the link on a full reset: a warm start from now on.
    memory_.warmStart = true;
    if (reset.read == Read::PortFailed) return AdapterStep::PortFailed;
  }
  const Reply warm = Command("ATWS", kResetWaitMs);
  if (warm.read != Read::Prompt) return Unanswered(warm);
  if (!warm.answer.statuses.empty()) version_ = warm.answer.statuses.back();
  return AdapterStep::Ok;
}

AdapterStep ElmAdapter::Refused(const Reply& reply, std::string_view command) {
  if (reply.read == Read::PortFailed) return AdapterStep::PortFailed;
  outlets_.ShowCause("Адаптер ELM327 не принял команду " + std::string(command) + ".");
  return AdapterStep::Unusable;
}

AdapterStep ElmAdapter::SetUp(std::span<const SetUpStep> steps) {
  for (const SetUpStep& step : steps) {
    if (stop_.Wait(0) == WaitResult::Signalled) return AdapterStep::Stopped;
    const Reply reply = Command(step.command, kCommandWaitMs);
    if (reply.read != Read::Prompt || !reply.answer.Ok()) {
      if (reply.read == Read::PortFailed) return AdapterStep::PortFailed;
      if (step.needed) return Refused(reply, step.command);
    }
  }
  return AdapterStep::Ok;
}

AdapterStep ElmAdapter::AllowLongAnswers() {
  // Without ATAL the chip keeps to answers of 7 data bytes; the live block has 39.
  const Reply longAnswers = Command("ATAL", kCommandWaitMs);
  if (longAnswers.read == Read::PortFailed) return AdapterStep::PortFailed;
  if (!longAnswers.answer.Ok()) {
    outlets_.ShowCause(
        "Адаптер ELM327 без команды ATAL: блок данных контроллера длиннее 7 байт, "
        "через этот адаптер его не получить.");
    return AdapterStep::Unusable;
  }
  return AdapterStep::Ok;
}

AdapterStep ElmAdapter::MakeContact(std::vector<uint8_t>& keyBytes) {
  keyBytes.clear();
  const Reply init = Command("ATFI", kResetWaitMs);
  if (init.read != Read::Prompt) return Unanswered(init);
  // A chip without ATFI ("?") wakes the control unit at the first request instead.
  if (SaysSilent(init.answer)) return AdapterStep::Silent;
  const Reply keys = Command("ATKW", kCommandWaitMs);
  if (keys.read == Read::PortFailed) return AdapterStep::PortFailed;
  keyBytes = KeyBytes(keys.answer);
  return AdapterStep::Ok;
}

Transfer ElmAdapter::Carry(const KwpFrame& request, std::array<uint8_t, kReceiveBufferSize>& answer,
                           uint32_t& replyEnd) {
  // The chip sends the header it was given and the checksum itself: only the data goes.
  const size_t header = (request.bytes[0] & 0x3F) == 0 ? 4 : 3;
  const uint8_t service = request.bytes[header];
  std::string line = ElmHex(request.data() + header, request.size - header - 1);
  uint32_t firstByte = 0;
  // After "response pending" the chip must keep listening past it for the real answer.
  const bool digit = countDigit_ && !pending_;
  pending_ = false;
  Reply reply = Command(digit ? line + "1" : line, kRequestWaitMs, &firstByte);
  if (digit && reply.read == Read::Prompt && reply.answer.NotUnderstood()) {
    // A clone that takes no count digit: without it from now on.
    countDigit_ = false;
    reply = Command(line, kRequestWaitMs, &firstByte);
  }
  Transfer transfer;
  if (reply.read == Read::PortFailed) {
    transfer.outcome = Transfer::Outcome::PortFailure;
    transfer.systemError = lastPortError_;
    return transfer;
  }
  // The chip prints the answer once the frame has ended on the K-line: the pacing counts from
  // its first byte, which can only be later.
  replyEnd = firstByte != 0 ? firstByte : clock_.NowMs();
  if (reply.read != Read::Prompt || reply.answer.data.empty()) return transfer;
  // Of several answers (a pending one, then the reply) the one to the request, else the last.
  const std::vector<uint8_t>* chosen = &reply.answer.data.back();
  for (const std::vector<uint8_t>& frame : reply.answer.data) {
    const size_t at = frame.size() > 3 && (frame[0] & 0x3F) == 0 ? 4 : 3;
    if (frame.size() > at && frame[at] == (service | kwp::kPositiveResponseBit)) chosen = &frame;
  }
  if (chosen->size() > answer.size()) return transfer;
  const size_t at = chosen->size() > 3 && ((*chosen)[0] & 0x3F) == 0 ? 4 : 3;
  pending_ = chosen->size() > at + 2 && (*chosen)[at] == kwp::kNegativeResponse &&
             (*chosen)[at + 2] == kwp::kResponsePending;
  std::memcpy(answer.data(), chosen->data(), chosen->size());
  transfer.outcome = Transfer::Outcome::Received;
  transfer.size = chosen->size();
  return transfer;
}

void ElmAdapter::Finish() {
  // The bus closed, so the chip sends no more keep-alives to a unit that has ended its session.
  (void)Command("ATPC", kCommandWaitMs);
}

}  // namespace drunvale
