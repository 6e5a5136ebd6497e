// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sound/audio_backend.h"
#include "sound/output_line.h"
#include "sound/slot_table.h"
#include "sound/sound_types.h"

namespace drunvale {

// The engine's output: the stream to the device, the volume and the three slots, each with
// its lock and its sound. Slots with the same source share one sound.
class SoundDevice {
 public:
  explicit SoundDevice(AudioBackend& backend);
  ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the output stream, paused until the sound is switched on. Without a device the
  // program runs on silent.
  SoundResult Create();
  // True when the slot now holds a sound for source (empty = the tone).
  bool AssignSound(SoundSlot slot, const std::string& source);
  // Stored as given, heard clamped to 0..100.
  void SetVolume(int32_t volume);
  int32_t Volume() const { return output_->volume.load(); }
  // The WAV playback rates the device can be fed at; false without a device.
  bool GetRateRange(uint32_t& minRate, uint32_t& maxRate) const;
  // The slot's sound's nativeRate, 0 for an empty slot.
  int32_t SlotNativeRate(SoundSlot slot) const;
  bool HasDevice() const { return output_->HasDevice(); }

  // For inspection on the window thread: the sound a slot holds, or null.
  const SoundBuffer* SlotSound(SoundSlot slot) const;
  // For the player thread.
  std::shared_ptr<SlotTable> Slots() const { return slots_; }
  std::shared_ptr<OutputLine> Output() const { return output_; }

 private:
  std::shared_ptr<SlotTable> slots_;
  std::shared_ptr<OutputLine> output_;
};

}  // namespace drunvale
