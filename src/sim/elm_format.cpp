// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_format.h"

#include "sim/ecu_frames.h"

namespace drunvale::sim {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = HexValue(text[i]), low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::optional<HexRequest> ParseHexRequest(std::string_view line) {
  HexRequest request;
  if (line.size() % 2 != 0) {
    if (line.size() < 3) return std::nullopt;
    request.expectedAnswers = HexValue(line.back());
    if (request.expectedAnswers <= 0) return std::nullopt;
    line.remove_suffix(1);
  }
  std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(line);
  if (!bytes || bytes->empty()) return std::nullopt;
  request.data = std::move(*bytes);
  return request;
}

std::string HexText(const uint8_t* bytes, size_t n, bool spaces) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < n; ++i) {
    if (spaces && i > 0) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

std::string ProtocolName(int protocol) {
  static constexpr const char* kNames[] = {
      "AUTO",
      "SAE J1850 PWM",
      "SAE J1850 VPW",
      "ISO 9141-2",
      "ISO 14230-4 (KWP 5BAUD)",
      "ISO 14230-4 (KWP FAST)",
      "ISO 15765-4 (CAN 11/500)",
      "ISO 15765-4 (CAN 29/500)",
      "ISO 15765-4 (CAN 11/250)",
      "ISO 15765-4 (CAN 29/250)",
      "SAE J1939 (CAN 29/250)",
      "USER1 (CAN 11/125)",
      "USER2 (CAN 11/50)",
  };
  if (protocol < 0 || protocol > 12) return "?";
  return kNames[protocol];
}

std::vector<uint8_t> Iso14230Frame(const std::array<uint8_t, 3>& header,
                                   const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame;
  const auto n = static_cast<uint8_t>(data.size());
  if ((header[0] & 0x3F) != 0) {
    frame = {static_cast<uint8_t>((header[0] & 0xC0) | (n & 0x3F)), header[1], header[2]};
  } else {
    frame = {header[0], header[1], header[2], n};
  }
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Checksum(frame.data(), frame.size()));
  return frame;
}

size_t Iso14230HeaderSize(const std::vector<uint8_t>& frame) {
  return !frame.empty() && (frame[0] & 0x3F) == 0 ? 4 : 3;
}

}  // namespace drunvale::sim
