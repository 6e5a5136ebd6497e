// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/trouble_codes.h"

#include <algorithm>

namespace drunvale {

std::string CodeName(uint16_t code) {
  static constexpr char kLetters[] = {'P', 'C', 'B', 'U'};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string name(1, kLetters[code >> 14]);
  name += kDigits[(code >> 12) & 0x3];
  for (int shift = 8; shift >= 0; shift -= 4)
    name += kDigits[(code >> shift) & 0xF];
  return name;
}

std::string_view CodeSystem(uint16_t code) {
  switch (code >> 14) {
    case 1:
      return "шасси";
    case 2:
      return "кузов";
    case 3:
      return "сеть обмена данными";
    default:
      break;
  }
  if (((code >> 12) & 0x3) != 0) return "код изготовителя";
  switch ((code >> 8) & 0xF) {
    case 0x1:
      return "топливо и воздух";
    case 0x2:
      return "топливо и воздух (цепи форсунок)";
    case 0x3:
      return "зажигание и пропуски воспламенения";
    case 0x4:
      return "снижение токсичности";
    case 0x5:
      return "скорость, холостой ход и входные сигналы";
    case 0x6:
      return "блок управления и его выходы";
    case 0x7:
    case 0x8:
    case 0x9:
      return "коробка передач";
    default:
      return "прочее";
  }
}

std::optional<std::vector<TroubleCode>> DecodeKwpCodes(std::span<const uint8_t> payload) {
  if (payload.empty() || payload.size() != 1 + 3 * size_t{payload[0]}) return std::nullopt;
  std::vector<TroubleCode> codes;
  for (size_t i = 1; i + 2 < payload.size(); i += 3) {
    // The status's storage state, bits 6 and 5: 10 is a fault seen but not yet stored.
    const bool pending = ((payload[i + 2] >> 5) & 0x3) == 0x2;
    codes.push_back({static_cast<uint16_t>(payload[i] << 8 | payload[i + 1]), pending});
  }
  return codes;
}

std::vector<uint16_t> DecodeObdCodes(std::span<const uint8_t> message, bool can) {
  std::vector<uint16_t> codes;
  if (message.empty()) return codes;
  size_t at = 1;
  size_t end = message.size();
  if (can) {
    if (message.size() < 2) return codes;
    at = 2;
    end = std::min(end, at + 2 * size_t{message[1]});
  }
  for (; at + 1 < end; at += 2) {
    const uint16_t code = static_cast<uint16_t>(message[at] << 8 | message[at + 1]);
    // K-line frames are filled up with 00 00; P0000 is no code.
    if (code != 0) codes.push_back(code);
  }
  return codes;
}

}  // namespace drunvale
