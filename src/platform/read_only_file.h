// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace drunvale {

// Random access to the bytes of a file that is not trusted: every read names its range.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Fills out completely from offset, or returns false (an error, or the file shrank).
  virtual bool ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

// Opens a regular file by its UTF-8 path for reading at any offset, its size taken now (a WAV
// file the user picked). nullptr for anything else, since a FIFO or a device could block or
// never end.
std::unique_ptr<ByteSource> OpenReadOnlyFile(const std::string& path);

}  // namespace drunvale
