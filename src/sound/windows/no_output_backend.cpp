// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/audio_backend.h"

namespace drunvale {
namespace {

// Windows has no sound output of its own yet. Until it has, the program runs as it does on a
// machine without a sound device: no stream opens and every signal stays silent.
class NoOutputBackend final : public AudioBackend {
 public:
  SoundResult OpenStream(const StreamFormat&, std::unique_ptr<AudioStream>&) override {
    return kSoundNoDriver;
  }
};

}  // namespace

AudioBackend& SystemAudioBackend() {
  static NoOutputBackend backend;
  return backend;
}

}  // namespace drunvale
