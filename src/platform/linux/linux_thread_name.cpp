// SPDX-License-Identifier: GPL-3.0-or-later
#include <pthread.h>

#include "platform/thread_name.h"

namespace drunvale {

void NameCurrentThread(const char* name) {
  pthread_setname_np(pthread_self(), name);
}

}  // namespace drunvale
