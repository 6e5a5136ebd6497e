// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/audio_backend.h"

namespace drunvale {
namespace {

// Windows has no sound output of its own yet. Until it has, the program runs as it does on a
// machine without a sound device: the device does not open and every signal stays silent.
class NoOutputBackend final : public AudioBackend {
 public:
  SoundResult CreateDevice(std::shared_ptr<AudioDevice>&) override { return kSoundNoDriver; }
};

}  // namespace

AudioBackend& SystemAudioBackend() {
  static NoOutputBackend backend;
  return backend;
}

}  // namespace drunvale
