// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ecu_frames.h"

namespace drunvale::sim {

uint8_t Checksum(const uint8_t* bytes, size_t n) {
  uint8_t sum = 0;
  for (size_t i = 0; i < n; ++i)
    sum = static_cast<uint8_t>(sum + bytes[i]);
  return sum;
}

std::vector<uint8_t> BuildFrame(uint8_t target, uint8_t source, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame;
  frame.reserve(data.size() + 5);
  size_t n = data.size();
  if (n < 64) {
    frame.push_back(static_cast<uint8_t>(0x80 + n));
    frame.push_back(target);
    frame.push_back(source);
  } else {
    frame.push_back(0x80);
    frame.push_back(target);
    frame.push_back(source);
    frame.push_back(static_cast<uint8_t>(n));
  }
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Checksum(frame.data(), frame.size()));
  return frame;
}

size_t FrameAssembler::ExpectedSize() const {
  if (bytes_.empty()) return 0;
  size_t shortLength = bytes_[0] & 0x3F;
  if (shortLength != 0) return 3 + shortLength + 1;
  if (bytes_.size() < 4) return 0;
  return 4 + size_t{bytes_[3]} + 1;
}

std::optional<ReceivedFrame> FrameAssembler::Push(uint8_t byte, SimTime now) {
  // Only 10xxxxxx opens a frame; anything else between frames is noise.
  if (bytes_.empty() && (byte & 0xC0) != 0x80) return std::nullopt;
  bytes_.push_back(byte);
  lastByte_ = now;
  size_t expected = ExpectedSize();
  if (expected == 0 || bytes_.size() < expected) return std::nullopt;

  ReceivedFrame frame;
  frame.bytes.swap(bytes_);
  frame.complete = true;
  size_t dataStart = (frame.bytes[0] & 0x3F) != 0 ? 3 : 4;
  size_t last = frame.bytes.size() - 1;
  frame.checksumOk = Checksum(frame.bytes.data(), last) == frame.bytes[last];
  frame.forEcu = frame.bytes[1] == kEcuAddress && frame.bytes[2] == kTesterAddress;
  if (frame.checksumOk && frame.forEcu) {
    frame.data.assign(frame.bytes.begin() + static_cast<std::ptrdiff_t>(dataStart),
                      frame.bytes.begin() + static_cast<std::ptrdiff_t>(last));
  }
  return frame;
}

std::optional<ReceivedFrame> FrameAssembler::Expire(SimTime now) {
  if (bytes_.empty() || now - lastByte_ < gap_) return std::nullopt;
  ReceivedFrame frame;
  frame.bytes.swap(bytes_);
  return frame;
}

std::optional<SimTime> FrameAssembler::Deadline() const {
  if (bytes_.empty()) return std::nullopt;
  return lastByte_ + gap_;
}

}  // namespace drunvale::sim
