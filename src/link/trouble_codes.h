// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace drunvale {

// A trouble code as the unit sends it: two bytes, the top two bits the letter (P, C, B, U),
// then four hex digits.
struct TroubleCode {
  uint16_t code = 0;
  bool pending = false;  // OBD-II mode 07: seen once, not yet confirmed

  bool operator==(const TroubleCode&) const = default;
};

// "P0130".
std::string CodeName(uint16_t code);
// The system a generic P0 code belongs to, in Russian; the maker's own codes and the other
// letters are named as such.
std::string_view CodeSystem(uint16_t code);

// ReadDiagnosticTroubleCodesByStatus's answer after its service byte: the count, then each
// code's two bytes and its status, which says whether it is pending. Nothing when the count
// does not match what follows.
std::optional<std::vector<TroubleCode>> DecodeKwpCodes(std::span<const uint8_t> payload);
// A mode 03 or 07 message from its service byte (43 or 47) on: on CAN the count comes first;
// on K-line three codes a frame, padded with 00 00.
std::vector<uint16_t> DecodeObdCodes(std::span<const uint8_t> message, bool can);

// What a request for the codes came to.
struct CodesReport {
  enum class Outcome {
    Read,          // codes holds them all (maybe none)
    Cleared,       // the unit confirmed
    NotOffered,    // the unit refused the request
    NotConfirmed,  // the clear went unanswered or was refused
    Unreadable,    // an answer that does not add up
  };
  Outcome outcome = Outcome::Read;
  std::vector<TroubleCode> codes;
  // OBD-II mode 01 PID 01: the lamp and how many codes it counts.
  std::optional<bool> lampOn;
  std::optional<int> lampCount;
};
using CodesOut = std::function<void(const CodesReport&)>;

// PID 01's first byte: the lamp (bit 7) and the stored codes' count.
inline void TakeLampByte(uint8_t a, CodesReport& report) {
  report.lampOn = (a & 0x80) != 0;
  report.lampCount = a & 0x7F;
}

// A request for the codes, made from any thread and served by whichever session runs next,
// between two polls. A request the session could not finish is put back.
class CodesMailbox {
 public:
  enum class Ask : int { None = 0, Read = 1, Clear = 2 };
  void Post(Ask ask) { ask_ = static_cast<int>(ask); }
  Ask Take() { return static_cast<Ask>(ask_.exchange(0)); }
  // Back for the next session, unless a newer request came meanwhile.
  void PutBack(Ask ask) {
    int none = 0;
    ask_.compare_exchange_strong(none, static_cast<int>(ask));
  }

 private:
  std::atomic<int> ask_{0};
};

}  // namespace drunvale
