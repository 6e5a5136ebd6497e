// SPDX-License-Identifier: GPL-3.0-or-later
// DirectSound behind the stream seam: one looping secondary buffer of a second, written ahead
// of its play cursor by at most the stream's capacity. DirectSound is chosen over WASAPI for
// its threading: its objects may be used from any thread without COM initialisation, while
// WASAPI's must stay within COM apartments, and the stream is opened on the window's thread
// and fed on the player's. It needs a window only for its cooperative level; the desktop's
// serves, with global focus, so the console plays as the window will.
#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>

#include <algorithm>
#include <cstring>

#include "sound/audio_backend.h"

namespace drunvale {
namespace {

constexpr uint32_t kBytesPerFrame = 2 * sizeof(int16_t);
// DirectSound does not tell the rate the system mixes at (its primary buffer says 22050 Hz,
// 8 bits, until told otherwise); the first the device is offered, as it always was.
constexpr uint32_t kDefaultRate = 44100;

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

WAVEFORMATEX Stereo16(uint32_t rate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = kBytesPerFrame;
  format.nAvgBytesPerSec = rate * kBytesPerFrame;
  return format;
}

class DirectSoundStream final : public AudioStream {
 public:
  ~DirectSoundStream() override {
    if (buffer_) buffer_->Stop();
    Release(buffer_);
    Release(device_);
  }

  SoundResult Open(const StreamFormat& wanted) {
    HRESULT hr = DirectSoundCreate8(nullptr, &device_, nullptr);
    if (FAILED(hr)) return {SoundStatus::NoDevice, static_cast<int>(hr)};
    // Priority lets the device mix at the stream's rate; normal keeps the device's own format.
    const HWND window = GetDesktopWindow();
    if (FAILED(device_->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
      hr = device_->SetCooperativeLevel(window, DSSCL_NORMAL);
      if (FAILED(hr)) return {SoundStatus::Failed, static_cast<int>(hr)};
    }
    format_.rate = wanted.rate ? wanted.rate : kDefaultRate;
    format_.channels = 2;
    UsePrimaryFormat(format_.rate);

    bufferFrames_ = format_.rate;       // a second
    capacity_ = format_.rate * 3 / 20;  // refilled at half: a busy machine may be 75 ms late
    const WAVEFORMATEX pcm = Stereo16(format_.rate);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    // Heard whichever window has the focus; the play cursor as exact as the system has it.
    description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = bufferFrames_ * kBytesPerFrame;
    description.lpwfxFormat = const_cast<WAVEFORMATEX*>(&pcm);
    IDirectSoundBuffer* buffer = nullptr;
    hr = device_->CreateSoundBuffer(&description, &buffer, nullptr);
    if (FAILED(hr)) return {SoundStatus::Failed, static_cast<int>(hr)};
    hr = buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer_));
    buffer->Release();
    if (FAILED(hr)) return {SoundStatus::Failed, static_cast<int>(hr)};
    return Pause();
  }

  StreamFormat Format() const override { return format_; }
  uint32_t Capacity() const override { return capacity_; }

  uint32_t Writable() override {
    if (!Update()) return 0;
    return capacity_ > queued_ ? capacity_ - queued_ : 0;
  }

  SoundResult Write(std::span<const int16_t> interleaved) override {
    if (!Update()) return SoundStatus::Failed;
    const uint32_t room = capacity_ > queued_ ? capacity_ - queued_ : 0;
    const auto frames =
        static_cast<uint32_t>(std::min<size_t>(interleaved.size() / format_.channels, room));
    if (frames == 0) return SoundStatus::Ok;
    if (!Copy(writeFrame_, frames, interleaved.data())) return SoundStatus::Failed;
    writeFrame_ = (writeFrame_ + frames) % bufferFrames_;
    queued_ += frames;
    return SoundStatus::Ok;
  }

  SoundResult Pause() override {
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    playing_ = false;
    return Clear() ? SoundStatus::Ok : SoundStatus::Failed;
  }

  SoundResult Resume() override {
    if (playing_) return SoundStatus::Ok;
    const HRESULT hr = buffer_->Play(0, 0, DSBPLAY_LOOPING);
    if (!Check(hr)) return {SoundStatus::Failed, static_cast<int>(hr)};
    playing_ = true;
    DWORD play = 0, write = 0;
    if (SUCCEEDED(buffer_->GetCurrentPosition(&play, &write))) lastPlay_ = play / kBytesPerFrame;
    return SoundStatus::Ok;
  }

  bool Lost() override { return lost_; }

 private:
  // Asks the device to mix in 16-bit stereo at `rate`; it may keep its own format.
  void UsePrimaryFormat(uint32_t rate) {
    if (IDirectSoundBuffer* primary = OpenPrimary()) {
      const WAVEFORMATEX format = Stereo16(rate);
      primary->SetFormat(&format);
      primary->Release();
    }
  }

  IDirectSoundBuffer* OpenPrimary() {
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(device_->CreateSoundBuffer(&description, &primary, nullptr))) return nullptr;
    return primary;
  }

  // Follows the play cursor: what it passed has played and is made silent, so that a player
  // late by more than what it queued is followed by silence, not by last second's sound.
  bool Update() {
    if (lost_) return false;
    DWORD playByte = 0, writeByte = 0;
    if (!Check(buffer_->GetCurrentPosition(&playByte, &writeByte))) return false;
    const uint32_t play = playByte / kBytesPerFrame, write = writeByte / kBytesPerFrame;
    const uint32_t played = (play + bufferFrames_ - lastPlay_) % bufferFrames_;
    if (played > 0 && !Copy(lastPlay_, played, nullptr)) return false;
    lastPlay_ = play;
    queued_ = queued_ > played ? queued_ - played : 0;
    // Up to the write cursor the device has taken the frames already: new ones go after it.
    const uint32_t committed = (write + bufferFrames_ - play) % bufferFrames_;
    if (queued_ < committed) {
      writeFrame_ = write;
      queued_ = committed;
    }
    return true;
  }

  // Writes `frames` frames from `from` at `at` (silence when null), across the buffer's end.
  bool Copy(uint32_t at, uint32_t frames, const int16_t* from) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (!Check(buffer_->Lock(at * kBytesPerFrame, frames * kBytesPerFrame, &first, &firstBytes,
                             &second, &secondBytes, 0))) {
      return false;
    }
    const auto* bytes = reinterpret_cast<const char*>(from);
    for (auto [part, size] : {std::pair{first, firstBytes}, std::pair{second, secondBytes}}) {
      if (!part) continue;
      if (bytes) {
        std::memcpy(part, bytes, size);
        bytes += size;
      } else {
        std::memset(part, 0, size);
      }
    }
    return Check(buffer_->Unlock(first, firstBytes, second, secondBytes));
  }

  // Silence throughout, nothing queued, the cursor at the start.
  bool Clear() {
    queued_ = 0;
    writeFrame_ = 0;
    lastPlay_ = 0;
    return Copy(0, bufferFrames_, nullptr);
  }

  // A buffer taken by another application is restored, silent, and goes on playing; any other
  // failure means the device went away.
  bool Check(HRESULT hr) {
    if (SUCCEEDED(hr)) return true;
    if (hr != DSERR_BUFFERLOST) {
      lost_ = true;
    } else if (!restoring_ && SUCCEEDED(buffer_->Restore())) {
      restoring_ = true;  // a buffer lost again while being cleared waits for the next pass
      Clear();
      if (playing_) buffer_->Play(0, 0, DSBPLAY_LOOPING);
      restoring_ = false;
    }
    return false;
  }

  IDirectSound8* device_ = nullptr;
  IDirectSoundBuffer8* buffer_ = nullptr;
  StreamFormat format_;
  uint32_t bufferFrames_ = 0;
  uint32_t capacity_ = 0;
  uint32_t writeFrame_ = 0;  // where the next frames go
  uint32_t queued_ = 0;      // frames ahead of the play cursor, not played yet
  uint32_t lastPlay_ = 0;    // the play cursor at the last look
  bool playing_ = false;
  bool lost_ = false;
  bool restoring_ = false;
};

class DirectSoundBackend final : public AudioBackend {
 public:
  SoundResult OpenStream(const StreamFormat& wanted, std::unique_ptr<AudioStream>& out) override {
    auto stream = std::make_unique<DirectSoundStream>();
    if (SoundResult r = stream->Open(wanted); r != SoundStatus::Ok) return r;
    out = std::move(stream);
    return SoundStatus::Ok;
  }
};

}  // namespace

AudioBackend& SystemAudioBackend() {
  static DirectSoundBackend backend;
  return backend;
}

}  // namespace drunvale
