// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/console_input_keys.h"

#include <atomic>

namespace drunvale {
namespace {

// The key a key-down record stands for. A letter typed while another layout is active (a
// Cyrillic one, say) counts as its Latin key, so r, u and b work whatever the layout.
std::optional<char> KeyOf(const KEY_EVENT_RECORD& key) {
  if (!key.bKeyDown) return std::nullopt;
  const wchar_t typed = key.uChar.UnicodeChar;
  if (typed > 0 && typed < 0x80) return static_cast<char>(typed);
  const WORD code = key.wVirtualKeyCode;
  if (typed != 0 && code >= 'A' && code <= 'Z') return static_cast<char>(code - 'A' + 'a');
  return std::nullopt;
}

class ConsoleInputKeys final : public ConsoleKeys {
 public:
  explicit ConsoleInputKeys(HANDLE input) : input_(input) {
    // Cancel sets it, so a wait ends at once.
    cancel_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!GetConsoleMode(input_, &saved_)) return;
    // Processed input stays as it was: Ctrl+C remains a request to end, not a key.
    raw_ = SetConsoleMode(input_,
                          saved_ & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) != 0;
  }
  ~ConsoleInputKeys() override {
    if (raw_) SetConsoleMode(input_, saved_);
    if (cancel_) CloseHandle(cancel_);
  }
  ConsoleInputKeys(const ConsoleInputKeys&) = delete;
  ConsoleInputKeys& operator=(const ConsoleInputKeys&) = delete;

  std::optional<char> WaitForKey() override {
    // Without the event nothing could end a wait: no keys then.
    if (!cancel_) return std::nullopt;
    while (!cancelled_) {
      const HANDLE handles[2] = {cancel_, input_};
      // Without a console, or after its input failed, only Cancel ends the wait.
      const DWORD count = raw_ && !inputEnded_ ? 2 : 1;
      const DWORD woke = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
      if (woke != WAIT_OBJECT_0 + 1) return std::nullopt;
      INPUT_RECORD record{};
      DWORD read = 0;
      if (!ReadConsoleInputW(input_, &record, 1, &read)) {
        inputEnded_ = true;
        continue;
      }
      // Mouse, focus and size events, key releases and keys without a character are skipped.
      if (read == 1 && record.EventType == KEY_EVENT) {
        if (const std::optional<char> key = KeyOf(record.Event.KeyEvent)) return key;
      }
    }
    return std::nullopt;
  }

  void Cancel() override {
    cancelled_ = true;
    if (cancel_) SetEvent(cancel_);
  }

 private:
  const HANDLE input_;
  HANDLE cancel_ = nullptr;
  DWORD saved_ = 0;
  bool raw_ = false;
  bool inputEnded_ = false;  // the waiting thread's own
  std::atomic<bool> cancelled_{false};
};

}  // namespace

std::unique_ptr<ConsoleKeys> OpenConsoleInputKeys(HANDLE input) {
  return std::make_unique<ConsoleInputKeys>(input);
}

std::unique_ptr<ConsoleKeys> OpenConsoleKeys() {
  return OpenConsoleInputKeys(GetStdHandle(STD_INPUT_HANDLE));
}

}  // namespace drunvale
