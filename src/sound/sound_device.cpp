#include "sound/sound_device.h"

#include <mutex>

namespace drunvale {

SoundDevice::SoundDevice(AudioBackend& backend)
    : backend_(backend), slots_(std::make_shared<SlotTable>()) {}

SoundDevice::~SoundDevice() {
  // The device goes first; each sound keeps its own reference, so the device lives until the
  // last sound is gone.
  device_.reset();
  slots_->Clear();
}

SoundResult SoundDevice::Create() {
  std::shared_ptr<AudioDevice> device;
  if (SoundResult r = backend_.CreateDevice(device); r != kSoundOk) return r;
  device_ = device;
  if (device->SetCooperativeLevel(CooperativeLevel::Priority) != kSoundOk) {
    return device->SetCooperativeLevel(CooperativeLevel::Normal);
  }
  std::unique_ptr<AudioPrimaryBuffer> primary;
  if (device->CreatePrimaryBuffer(primary) != kSoundOk || !primary) return kSoundOk;
  for (uint16_t bits : {16, 8}) {
    for (uint32_t rate = 44100; rate >= 11025; rate /= 2) {
      for (uint16_t channels : {2, 1}) {
        if (primary->SetFormat(MakePcmFormat(channels, rate, bits)) == kSoundOk) return kSoundOk;
      }
    }
  }
  return kSoundOk;
}

bool SoundDevice::AssignSound(SoundSlot slot, const std::string& source) {
  if (!device_ || !SlotTable::Valid(slot)) return false;
  std::shared_ptr<AudioDevice> device = device_;
  std::lock_guard lock(slots_->LockOf(slot));
  SoundBuffer* current = slots_->SoundIn(slot);
  if (current && current->Source() == source) return true;

  SoundBuffer* result = slots_->FindSource(source);
  if (result) {
    SlotTable::Share(result);
  } else {
    auto fresh = std::make_unique<SoundBuffer>(device);
    if (fresh->Load(source) == kSoundOk) {
      fresh->SetVolume(volume_);
      result = fresh.release();
    }
  }
  slots_->Replace(slot, result);
  return result != nullptr;
}

bool SoundDevice::StopSlot(SoundSlot slot) {
  return slots_->Stop(slot);
}

void SoundDevice::SetVolume(int32_t volume) {
  volume_ = volume;
  slots_->ApplyVolume(volume);
}

bool SoundDevice::GetRateRange(uint32_t& minRate, uint32_t& maxRate) const {
  if (!device_) return false;
  DeviceCaps caps;
  if (device_->GetCaps(caps) != kSoundOk) return false;
  minRate = caps.minSecondaryRate;
  maxRate = caps.maxSecondaryRate;
  return true;
}

int32_t SoundDevice::SlotNativeRate(SoundSlot slot) const {
  return slots_->NativeRate(slot);
}

const SoundBuffer* SoundDevice::SlotSound(SoundSlot slot) const {
  if (!SlotTable::Valid(slot)) return nullptr;
  std::lock_guard lock(slots_->LockOf(slot));
  return slots_->SoundIn(slot);
}

}  // namespace drunvale
