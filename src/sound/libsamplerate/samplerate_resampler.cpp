// SPDX-License-Identifier: GPL-3.0-or-later
// WAV sounds are converted to the device rate by libsamplerate's band-limited sinc converter:
// linear interpolation is audible on music-like files.
#include <samplerate.h>

#include "sound/resampler.h"

namespace drunvale {
namespace {

class SampleRateResampler final : public Resampler {
 public:
  explicit SampleRateResampler(ResamplerInput& input) : input_(input) {}
  ~SampleRateResampler() override {
    if (state_) src_delete(state_);
  }

  // The state calls back with this object's address, so it comes second.
  bool Open(int channels) {
    int error = 0;
    state_ = src_callback_new(&SampleRateResampler::Pull, SRC_SINC_FASTEST, channels, &error, this);
    return state_ != nullptr;
  }

  void Reset() override { src_reset(state_); }
  void SetRatio(double ratio) override {
    ratio_ = ratio;
    src_set_ratio(state_, ratio);
  }
  size_t Read(float* out, size_t frames) override {
    const long got = src_callback_read(state_, ratio_, static_cast<long>(frames), out);
    return got > 0 ? static_cast<size_t>(got) : 0;
  }

  static long Pull(void* self, float** data) {
    const float* frames = nullptr;
    const long count = static_cast<SampleRateResampler*>(self)->input_.Pull(frames);
    *data = const_cast<float*>(frames);  // libsamplerate only reads them
    return count;
  }

 private:
  SRC_STATE* state_ = nullptr;
  ResamplerInput& input_;
  double ratio_ = 1;
};

}  // namespace

std::unique_ptr<Resampler> MakeResampler(int channels, ResamplerInput& input) {
  auto resampler = std::make_unique<SampleRateResampler>(input);
  if (!resampler->Open(channels)) return nullptr;
  return resampler;
}

}  // namespace drunvale
