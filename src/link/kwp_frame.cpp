// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kwp_frame.h"

#include <cstring>

namespace drunvale {

uint8_t KwpChecksum(const uint8_t* bytes, size_t n) {
  uint8_t sum = 0;
  for (size_t i = 0; i < n; ++i)
    sum = static_cast<uint8_t>(sum + bytes[i]);
  return sum;
}

KwpFrame BuildFrame(uint8_t target, uint8_t source, const uint8_t* data, uint8_t n) {
  KwpFrame frame;
  auto& b = frame.bytes;
  size_t pos = 0;
  b[pos++] = n <= 63 ? static_cast<uint8_t>(0x80 + n) : 0x80;
  b[pos++] = target;
  b[pos++] = source;
  if (n >= 64) b[pos++] = n;
  if (n > 0) std::memcpy(&b[pos], data, n);
  pos += n;
  b[pos] = KwpChecksum(b.data(), pos);
  frame.size = pos + 1;
  return frame;
}

KwpFrame BuildRequestFrame(const uint8_t* data, uint8_t n) {
  return BuildFrame(kEcuAddress, kTesterAddress, data, n);
}

KwpFrame BuildResponseFrame(const uint8_t* data, uint8_t n) {
  return BuildFrame(kTesterAddress, kEcuAddress, data, n);
}

std::optional<ResponseHeader> ParseResponseHeader(const uint8_t* header) {
  if ((header[0] & 0xC0) != 0x80) return std::nullopt;
  if (header[1] != kTesterAddress || header[2] != kEcuAddress) return std::nullopt;
  const size_t inFormat = header[0] & 0x3F;
  if (inFormat != 0) {
    // Byte 3 is already the service identifier: L - 1 data bytes and the checksum remain.
    return ResponseHeader{inFormat, inFormat, 3};
  }
  const size_t length = header[3];
  // Without a data byte there is no service identifier to look at.
  if (length == 0 || length > kMaxBufferedDataLength) return std::nullopt;
  return ResponseHeader{length, length + 1, 4};
}

}  // namespace drunvale
