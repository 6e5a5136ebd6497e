// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_device.h"

#include <mutex>

#include "sound/resampler.h"

namespace drunvale {

SoundDevice::SoundDevice(AudioBackend& backend)
    : slots_(std::make_shared<SlotTable>()), output_(std::make_shared<OutputLine>(backend)) {}

SoundDevice::~SoundDevice() {
  slots_->Clear();
}

SoundResult SoundDevice::Create() {
  return output_->Open();
}

bool SoundDevice::AssignSound(SoundSlot slot, const std::string& source) {
  if (!HasDevice() || !SlotTable::Valid(slot)) return false;
  std::lock_guard lock(slots_->LockOf(slot));
  SoundBuffer* current = slots_->SoundIn(slot);
  if (current && current->Source() == source) return true;

  SoundBuffer* result = slots_->FindSource(source);
  if (result) {
    SlotTable::Share(result);
  } else {
    auto fresh = std::make_unique<SoundBuffer>();
    if (fresh->Load(source) == SoundStatus::Ok) result = fresh.release();
  }
  slots_->Replace(slot, result);
  return result != nullptr;
}

void SoundDevice::SetVolume(int32_t volume) {
  output_->volume.store(volume);
}

bool SoundDevice::GetRateRange(uint32_t& minRate, uint32_t& maxRate) const {
  const uint64_t rate = output_->Rate();
  if (rate == 0) return false;
  const auto ratio = static_cast<uint64_t>(Resampler::kMaxRatio);
  minRate = static_cast<uint32_t>((rate + ratio - 1) / ratio);
  maxRate = static_cast<uint32_t>(std::min<uint64_t>(rate * ratio, UINT32_MAX));
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
