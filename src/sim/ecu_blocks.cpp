// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_blocks.h"

#include <algorithm>

namespace drunvale::sim {
namespace {

void PutText(std::vector<uint8_t>& block, size_t offset, size_t size, const std::string& text) {
  std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(offset), size, uint8_t{0});
  size_t n = std::min(size, text.size());
  std::copy_n(text.begin(), n, block.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutU16(std::vector<uint8_t>& block, size_t offset, uint16_t value) {
  block[offset] = static_cast<uint8_t>(value & 0xFF);
  block[offset + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

std::vector<uint8_t> BuildIdentificationBlock(const EcuIdentity& identity) {
  // Visible filler, so a tester reading one byte off shows it at once.
  std::vector<uint8_t> block(kIdentificationBlockSize, '*');
  block[0] = 0x80;
  PutText(block, kIdNameOffset, kIdNameSize, identity.name);
  PutText(block, kIdVersionOffset, kIdVersionSize, identity.version);
  PutText(block, kIdDateOffset, kIdDateSize, identity.date);
  return block;
}

std::vector<uint8_t> BuildLiveDataBlock(const LiveFields& fields) {
  // Filler differs at every offset, so a field read one byte off gives a wrong value.
  std::vector<uint8_t> block(kLiveDataBlockSize);
  for (size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<uint8_t>(0xA0 + i);
  block[0] = 0x01;
  block[kLiveStatusOffset] = fields.status;
  block[kLiveSpeedOffset] = fields.speedByte;
  PutU16(block, kLiveAirOffset, fields.airRaw);
  PutU16(block, kLiveFuelOffset, fields.fuelRaw);
  return block;
}

}  // namespace drunvale::sim
