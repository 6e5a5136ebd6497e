// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "sound/sound_buffer.h"
#include "sound/sound_samples.h"
#include "sound/sound_types.h"

namespace drunvale {

// The three slots and their locks. Shared by the device and its player thread, so a thread
// that outlives its engine still finds the slots (emptied by then) and never a freed object.
class SlotTable {
 public:
  SlotTable() = default;
  ~SlotTable();
  SlotTable(const SlotTable&) = delete;
  SlotTable& operator=(const SlotTable&) = delete;

  static bool Valid(SoundSlot slot) { return IsSlot(slot); }
  static size_t Index(SoundSlot slot) { return SlotIndex(slot); }

  int32_t NativeRate(SoundSlot slot);
  // For the player: each slot's samples, read under that slot's lock, and a count that moves
  // whenever a slot is given another sound.
  SlotSounds Snapshot();
  uint64_t Generation() const { return generation_.load(); }

  // Window thread only, under the slot's lock: the slot's sound, and the sound of any slot
  // (looked at without the other slots' locks: only this thread changes slots).
  std::mutex& LockOf(SoundSlot slot) { return locks_[Index(slot)]; }
  SoundBuffer* SoundIn(SoundSlot slot) const { return sounds_[Index(slot)]; }
  SoundBuffer* FindSource(const std::string& source) const;
  // Puts sound (already counted for this slot) in the slot and lets go of the old one.
  void Replace(SoundSlot slot, SoundBuffer* sound);
  static void Share(SoundBuffer* sound) { ++sound->refCount_; }

  // Lets go of every sound, each under its slot's lock.
  void Clear();

 private:
  static void Release(SoundBuffer* sound);

  std::array<std::mutex, kSlotCount> locks_;
  std::array<SoundBuffer*, kSlotCount> sounds_{};
  std::atomic<uint64_t> generation_{0};
};

}  // namespace drunvale
