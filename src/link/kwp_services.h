// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The KWP2000 vocabulary of the link, named once: the services the session requests, the
// response identifiers and codes the exchange reads, and the parameters the session sends.
namespace drunvale::kwp {

// Service identifiers of the requests.
inline constexpr uint8_t kStartDiagnosticSession = 0x10;
inline constexpr uint8_t kReadEcuIdentification = 0x1A;
inline constexpr uint8_t kStopDiagnosticSession = 0x20;
inline constexpr uint8_t kReadDataByLocalIdentifier = 0x21;
inline constexpr uint8_t kStartCommunication = 0x81;
inline constexpr uint8_t kStopCommunication = 0x82;
inline constexpr uint8_t kClearDiagnosticInformation = 0x14;
inline constexpr uint8_t kReadDtcByStatus = 0x18;

// A positive response carries the request's identifier with this bit set.
inline constexpr uint8_t kPositiveResponseBit = 0x40;
// A negative response: this identifier, the rejected request's, then a response code.
inline constexpr uint8_t kNegativeResponse = 0x7F;
// Response codes of a control unit that is busy; the next attempt waits longer.
inline constexpr uint8_t kBusyRepeatRequest = 0x21;
inline constexpr uint8_t kRoutineNotComplete = 0x77;
// The answer comes later: through a chip that no longer listens by then, asked again.
inline constexpr uint8_t kResponsePending = 0x78;

// StartDiagnosticSession's mode with a rate code after it, and the codes.
inline constexpr uint8_t kAdvancedSessionMode = 0x81;
inline constexpr uint8_t kRateCode38400 = 0x26;
inline constexpr uint8_t kRateCode57600 = 0x39;
// ReadEcuIdentification's option and the local identifier of the live-data block.
inline constexpr uint8_t kIdentificationOption = 0x80;
inline constexpr uint8_t kLiveDataBlock = 0x01;
// ReadDiagnosticTroubleCodesByStatus: every status, every group; ClearDiagnosticInformation:
// every group.
inline constexpr uint8_t kDtcAnyStatus = 0x00;
inline constexpr uint8_t kDtcAllGroupsHigh = 0xFF;
inline constexpr uint8_t kDtcAllGroupsLow = 0x00;
// StartCommunication's key bytes from the control unit the program was written for.
inline constexpr uint8_t kKnownKeyByte1 = 0x6B;
inline constexpr uint8_t kKnownKeyByte2 = 0x8F;

}  // namespace drunvale::kwp
