// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/output_line.h"

namespace drunvale {

SoundResult OutputLine::Open() {
  std::unique_ptr<AudioStream> stream;
  if (SoundResult r = backend_.OpenStream(StreamFormat{}, stream); r != kSoundOk) return r;
  std::lock_guard guard(lock);
  rate_.store(stream->Format().rate);
  stream_ = std::move(stream);
  return kSoundOk;
}

bool OutputLine::ReopenLocked() {
  stream_.reset();
  std::unique_ptr<AudioStream> stream;
  if (backend_.OpenStream(StreamFormat{}, stream) != kSoundOk) return false;
  stream->Resume();
  rate_.store(stream->Format().rate);
  stream_ = std::move(stream);
  return true;
}

}  // namespace drunvale
