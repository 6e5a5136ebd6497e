// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/library_noise.h"

#include <AL/alc.h>
#include <AL/alext.h>
#include <dlfcn.h>

#include <cstdlib>

namespace drunvale {
namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietOpenAl() {
  // OpenAL Soft reads its log level once, when it first initialises. A loopback device
  // touches no hardware, so opening one initialises the library now and the variable can
  // go again before anyone else sees it.
  auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  if (!openLoopback || setenv("ALSOFT_LOGLEVEL", "0", 1) != 0) return;
  if (ALCdevice* device = openLoopback(nullptr)) alcCloseDevice(device);
  unsetenv("ALSOFT_LOGLEVEL");
}

void QuietAlsa() {
  // OpenAL Soft loads ALSA itself, only when it is there; loading the same library first and
  // keeping it loaded lets the handler stand once OpenAL uses it.
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;
  using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetErrorHandler = int (*)(ErrorHandler);
  auto setHandler = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (setHandler) setHandler(IgnoreAlsaError);
}

}  // namespace

void QuietSoundLibraries() {
  // Someone who asked for OpenAL Soft's log is looking into the sound: ALSA speaks too.
  if (std::getenv("ALSOFT_LOGLEVEL") || std::getenv("ALSOFT_LOGFILE")) return;
  QuietOpenAl();
  QuietAlsa();
}

}  // namespace drunvale
