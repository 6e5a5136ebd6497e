#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sound/audio_backend.h"
#include "sound/slot_table.h"
#include "sound/sound_types.h"

namespace drunvale {

// The engine's output: the opened device, the volume and the three slots, each with its lock
// and its sound. Slots with the same source share one sound.
class SoundDevice {
 public:
  explicit SoundDevice(AudioBackend& backend);
  ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the device and picks the output format. Without a device the program runs on silent.
  SoundResult Create();
  // True when the slot now holds a sound for source (empty = the tone).
  bool AssignSound(SoundSlot slot, const std::string& source);
  // Stops and rewinds the slot's sound; whether the slot holds one.
  bool StopSlot(SoundSlot slot);
  // Stored as given, applied clamped to 0..100.
  void SetVolume(int32_t volume);
  int32_t Volume() const { return volume_; }
  // The secondary rates the device plays; false without a device or when the query fails.
  bool GetRateRange(uint32_t& minRate, uint32_t& maxRate) const;
  // The slot's sound's nativeRate, 0 for an empty slot.
  int32_t SlotNativeRate(SoundSlot slot) const;
  bool HasDevice() const { return device_ != nullptr; }

  // For inspection on the window thread: the sound a slot holds, or null.
  const SoundBuffer* SlotSound(SoundSlot slot) const;
  // The slots, for the player thread.
  std::shared_ptr<SlotTable> Slots() const { return slots_; }

 private:
  AudioBackend& backend_;
  std::shared_ptr<SlotTable> slots_;
  int32_t volume_ = 100;
  std::shared_ptr<AudioDevice> device_;
};

}  // namespace drunvale
