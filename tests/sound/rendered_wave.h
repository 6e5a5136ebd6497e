// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads back what OpenAL Soft's wave-file back end wrote and finds the beeps in it; shared by
// the render test and the beep timing benchmark.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace drunvale::testing {

struct Rendered {
  uint32_t rate = 0;
  std::vector<float> left;
};

inline uint32_t RenderedLe32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The wave back end writes float32 as WAVE_FORMAT_EXTENSIBLE; the left channel is kept.
// OpenAL Soft 1.19's back end does not go back to the end of its file when it stops: once a
// paused device resumes, it writes from byte 8 on, over its own header. Such a file is read as
// float32 stereo from there at `resumedRate` (one stretch of sound per file, as in our runs).
inline bool ReadRendering(const std::string& path, Rendered& out, uint32_t resumedRate = 44100) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4)) return false;
  if (std::memcmp(&b[8], "WAVE", 4)) {
    out.rate = resumedRate;
    for (size_t at = 8; at + 8 <= b.size(); at += 8) {
      float sample;
      std::memcpy(&sample, &b[at], 4);
      out.left.push_back(sample);
    }
    return true;
  }
  uint16_t channels = 0, bits = 0, tag = 0;
  for (size_t pos = 12; pos + 8 <= b.size();) {
    const uint32_t size = RenderedLe32(b, pos + 4);
    const size_t body = pos + 8;
    if (!std::memcmp(&b[pos], "fmt ", 4) && body + 16 <= b.size()) {
      tag = static_cast<uint16_t>(b[body] | (b[body + 1] << 8));
      channels = static_cast<uint16_t>(b[body + 2] | (b[body + 3] << 8));
      out.rate = RenderedLe32(b, body + 4);
      bits = static_cast<uint16_t>(b[body + 14] | (b[body + 15] << 8));
    } else if (!std::memcmp(&b[pos], "data", 4)) {
      if (tag != 0xFFFE || bits != 32 || channels == 0) return false;
      // A size the writer never filled in means "to the end of the file".
      const size_t bytes = size == 0 || body + size > b.size() ? b.size() - body : size;
      const size_t frame = 4u * channels;
      for (size_t at = body; at + frame <= body + bytes; at += frame) {
        float sample;
        std::memcpy(&sample, &b[at], 4);
        out.left.push_back(sample);
      }
      return true;
    }
    pos = body + size + (size & 1u);
  }
  return false;
}

struct Beep {
  size_t start = 0;
  size_t end = 0;  // the last sample above the threshold
};

// Stretches of sound separated by at least 10 ms of silence.
inline std::vector<Beep> FindBeeps(const std::vector<float>& x, uint32_t rate,
                                   float threshold = 0.05f) {
  const size_t gap = rate / 100;
  std::vector<Beep> beeps;
  size_t quiet = gap;
  for (size_t i = 0; i < x.size(); ++i) {
    if (std::fabs(x[i]) > threshold) {
      if (quiet >= gap) beeps.push_back({i, i});
      beeps.back().end = i;
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  return beeps;
}

// The frequency from the rising zero crossings between two samples; 0 when too few.
inline double ZeroCrossingHz(const std::vector<float>& x, size_t from, size_t to, uint32_t rate) {
  int rising = 0;
  size_t first = 0, last = 0;
  for (size_t i = from + 1; i < to && i < x.size(); ++i) {
    if (x[i - 1] < 0 && x[i] >= 0) {
      if (rising++ == 0) first = i;
      last = i;
    }
  }
  if (rising < 3) return 0;
  return (rising - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

}  // namespace drunvale::testing
