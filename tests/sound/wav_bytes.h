// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace drunvale::testing {

// Builds RIFF/WAVE files chunk by chunk, malformed ones included.
class WavBytes {
 public:
  WavBytes& Chunk(const std::string& id, const std::vector<uint8_t>& body, bool pad = true) {
    Append(id);
    Append32(static_cast<uint32_t>(body.size()));
    chunks_.insert(chunks_.end(), body.begin(), body.end());
    if (pad && body.size() % 2) chunks_.push_back(0);
    return *this;
  }
  // A chunk header whose declared size differs from what follows.
  WavBytes& ChunkDeclaring(const std::string& id, uint32_t declared,
                           const std::vector<uint8_t>& body) {
    Append(id);
    Append32(declared);
    chunks_.insert(chunks_.end(), body.begin(), body.end());
    return *this;
  }
  static std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                  size_t extra = 0) {
    std::vector<uint8_t> f;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * align);
    Put16(f, align);
    Put16(f, bits);
    f.resize(f.size() + extra, 0);
    return f;
  }
  std::vector<uint8_t> Bytes(const std::string& form = "WAVE") const {
    std::vector<uint8_t> out;
    for (char c : std::string("RIFF"))
      out.push_back(static_cast<uint8_t>(c));
    Put32(out, static_cast<uint32_t>(4 + chunks_.size()));
    for (char c : form)
      out.push_back(static_cast<uint8_t>(c));
    out.insert(out.end(), chunks_.begin(), chunks_.end());
    return out;
  }

 private:
  static void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
  }
  static void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
      v.push_back((x >> (8 * i)) & 0xFF);
  }
  void Append(const std::string& id) {
    for (char c : id)
      chunks_.push_back(static_cast<uint8_t>(c));
  }
  void Append32(uint32_t x) { Put32(chunks_, x); }

  std::vector<uint8_t> chunks_;
};

// A file in the test's temporary folder, removed with the object. Names and paths are UTF-8,
// as the program keeps them (on Windows a narrow path would mean the ANSI code page).
class TempFile {
 public:
  TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
      : path_(std::filesystem::temp_directory_path() /
              Utf8Name("drunvale-" + std::to_string(::getpid()) + "-" + name)) {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const {
    const std::u8string utf8 = path_.u8string();
    return {utf8.begin(), utf8.end()};
  }

 private:
  static std::filesystem::path Utf8Name(const std::string& name) {
    return std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size());
  }

  std::filesystem::path path_;
};

inline std::vector<uint8_t> SimpleWav(uint16_t channels, uint32_t rate, uint16_t bits,
                                      size_t dataBytes) {
  return WavBytes()
      .Chunk("fmt ", WavBytes::Fmt(1, channels, rate, bits))
      .Chunk("data", std::vector<uint8_t>(dataBytes, 0x80))
      .Bytes();
}

}  // namespace drunvale::testing
