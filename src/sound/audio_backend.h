// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "sound/sound_types.h"

namespace drunvale {

// What an output stream plays: 16-bit signed frames, interleaved, at the device's own rate.
struct StreamFormat {
  uint32_t rate = 0;  // 0 when opening: the device's own mixing rate
  uint16_t channels = 2;
};

// One output stream. Only its owner's thread uses it at a time.
class AudioStream {
 public:
  virtual ~AudioStream() = default;
  virtual StreamFormat Format() const = 0;
  // Frames it holds when full: the most that can be queued ahead.
  virtual uint32_t Capacity() const = 0;
  // Frames that can be written now without waiting.
  virtual uint32_t Writable() = 0;
  // Queues frames (at most Writable()) and keeps playing them.
  virtual SoundResult Write(std::span<const int16_t> interleaved) = 0;
  // Pause drops what is queued and stops the device's mixing; Resume starts it again, and the
  // stream plays from the next Write.
  virtual SoundResult Pause() = 0;
  virtual SoundResult Resume() = 0;
  // The device went away (unplugged, its server restarted): only a new stream will play.
  virtual bool Lost() = 0;
};

// Opens output streams: OpenAL Soft on Linux, DirectSound on Windows, a recording double in
// tests.
class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  // A stream on the default device, paused; a failure code when there is no device.
  virtual SoundResult OpenStream(const StreamFormat& wanted, std::unique_ptr<AudioStream>& out) = 0;
};

// The process's real back end: OpenAL Soft on Linux (openal/), DirectSound on Windows
// (windows/directsound_stream.cpp).
AudioBackend& SystemAudioBackend();

}  // namespace drunvale
