// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <system_error>

#include "platform/thread_stop_event.h"

namespace drunvale {

struct ThreadStopEvent::State {
  HANDLE event = nullptr;
};

ThreadStopEvent::ThreadStopEvent() : state_(std::make_unique<State>()) {
  // Manual reset, initially clear, unnamed: private to this process.
  state_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // Only exhausted kernel resources make this fail; a link without its stop event can't run.
  if (state_->event == nullptr)
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "CreateEventW");
}

ThreadStopEvent::~ThreadStopEvent() {
  CloseHandle(state_->event);
}

void ThreadStopEvent::Set() {
  SetEvent(state_->event);
}

void ThreadStopEvent::Reset() {
  ResetEvent(state_->event);
}

bool ThreadStopEvent::IsSet() {
  return WaitForSingleObject(state_->event, 0) == WAIT_OBJECT_0;
}

WaitResult ThreadStopEvent::Wait(uint32_t timeoutMs) {
  // INFINITE is 0xFFFFFFFF: the longest finite wait is one millisecond short of it.
  const DWORD wait = timeoutMs == INFINITE ? INFINITE - 1 : timeoutMs;
  return WaitForSingleObject(state_->event, wait) == WAIT_OBJECT_0 ? WaitResult::Signalled
                                                                   : WaitResult::TimedOut;
}

}  // namespace drunvale
