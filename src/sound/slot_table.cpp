// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/slot_table.h"

namespace drunvale {

SlotTable::~SlotTable() {
  Clear();
}

void SlotTable::Release(SoundBuffer* sound) {
  if (sound && --sound->refCount_ == 0) delete sound;
}

int32_t SlotTable::NativeRate(SoundSlot slot) {
  if (!Valid(slot)) return 0;
  std::lock_guard lock(locks_[Index(slot)]);
  SoundBuffer* sound = sounds_[Index(slot)];
  return sound ? sound->NativeRate() : 0;
}

SlotSounds SlotTable::Snapshot() {
  SlotSounds samples;
  for (size_t i = 0; i < kSlotCount; ++i) {
    std::lock_guard lock(locks_[i]);
    if (sounds_[i]) samples[i] = sounds_[i]->Samples();
  }
  return samples;
}

SoundBuffer* SlotTable::FindSource(const std::string& source) const {
  for (SoundBuffer* sound : sounds_) {
    if (sound && sound->Source() == source) return sound;
  }
  return nullptr;
}

void SlotTable::Replace(SoundSlot slot, SoundBuffer* sound) {
  SoundBuffer*& held = sounds_[Index(slot)];
  Release(held);
  held = sound;
  ++generation_;
}

void SlotTable::Clear() {
  for (size_t i = 0; i < kSlotCount; ++i) {
    std::lock_guard lock(locks_[i]);
    Release(sounds_[i]);
    sounds_[i] = nullptr;
  }
  ++generation_;
}

}  // namespace drunvale
