// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/output_line.h"

namespace drunvale {

SoundResult OutputLine::Open() {
  std::unique_ptr<AudioStream> stream;
  if (SoundResult r = backend_.OpenStream(StreamFormat{}, stream); r != SoundStatus::Ok) return r;
  std::lock_guard guard(lock);
  rate_.store(stream->Format().rate);
  stream_ = std::move(stream);
  return SoundStatus::Ok;
}

bool OutputLine::ReopenLocked() {
  stream_.reset();
  std::unique_ptr<AudioStream> stream;
  if (backend_.OpenStream(StreamFormat{}, stream) != SoundStatus::Ok) return false;
  if (!stream->Resume().Ok()) return false;
  rate_.store(stream->Format().rate);
  stream_ = std::move(stream);
  return true;
}

}  // namespace drunvale
