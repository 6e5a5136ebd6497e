// SPDX-License-Identifier: GPL-3.0-or-later
// The DirectSound output under Wine, on an ALSA device that plays into nothing: the calls and
// the stream's bookkeeping, not what is heard. Wine's null device consumes frames faster than
// real time, so the test waits for "at least played", never for exact timing.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "sound/audio_backend.h"

namespace drunvale {
namespace {

// Waits until the stream can take at least `frames`; false after two seconds.
bool WaitWritable(AudioStream& stream, uint32_t frames) {
  for (int i = 0; i < 200; ++i) {
    if (stream.Writable() >= frames) return true;
    Sleep(10);
  }
  return false;
}

TEST(DirectSoundStream, QueuesUpToItsCapacityPlaysItAndPauseDropsIt) {
  std::unique_ptr<AudioStream> stream;
  ASSERT_EQ(SystemAudioBackend().OpenStream(StreamFormat{}, stream), SoundStatus::Ok)
      << "ALSA_CONFIG_PATH must name a config whose default pcm is null";
  const StreamFormat format = stream->Format();
  EXPECT_EQ(format.channels, 2);
  EXPECT_EQ(format.rate, 44100u);
  const uint32_t capacity = stream->Capacity();
  ASSERT_GT(capacity, format.rate / 20);  // room for the player's sleep of half of it
  EXPECT_LE(stream->Writable(), capacity);

  ASSERT_EQ(stream->Resume(), SoundStatus::Ok);
  uint32_t room = stream->Writable();
  ASSERT_GT(room, capacity / 2);
  const std::vector<int16_t> tone(2 * static_cast<size_t>(capacity) * 2, 1000);
  // More than there is room for: only the room is taken.
  ASSERT_EQ(stream->Write(tone), SoundStatus::Ok);
  EXPECT_LT(stream->Writable(), capacity / 4);
  EXPECT_TRUE(WaitWritable(*stream, room)) << "the device played nothing";

  // Measured: how fast Wine's null device takes frames.
  const auto start = GetTickCount();
  uint32_t written = 0;
  while (GetTickCount() - start < 500) {
    const uint32_t frames = stream->Writable();
    ASSERT_EQ(stream->Write(std::span(tone).first(2 * std::min(frames, capacity))),
              SoundStatus::Ok);
    written += std::min(frames, capacity);
    Sleep(20);
  }
  std::printf("Wine's null device took %u frames in %lu ms (%.0f frames a second)\n", written,
              GetTickCount() - start, written * 1000.0 / (GetTickCount() - start));

  // Paused, the queue is dropped: all of it is free again at once after resuming.
  room = stream->Writable();
  ASSERT_EQ(stream->Write(std::span(tone).first(2 * static_cast<size_t>(room))), SoundStatus::Ok);
  ASSERT_EQ(stream->Pause(), SoundStatus::Ok);
  ASSERT_EQ(stream->Resume(), SoundStatus::Ok);
  EXPECT_GT(stream->Writable(), capacity / 2);
  EXPECT_FALSE(stream->Lost());
}

}  // namespace
}  // namespace drunvale
