// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace drunvale {

// Single keys typed in the terminal the program runs in, taken without Enter and without echo
// while this object lives; the terminal is put back as it was when it goes, on every way out.
class ConsoleKeys {
 public:
  virtual ~ConsoleKeys() = default;
  // Waits for the next key. nullopt once Cancel has been called, and when no key can come (the
  // input is not an interactive terminal, or it ended): then only after Cancel.
  virtual std::optional<char> WaitForKey() = 0;
  // Any thread: ends the wait that runs now and every later one.
  virtual void Cancel() = 0;
};

using ConsoleKeysOpener = std::function<std::unique_ptr<ConsoleKeys>()>;

// The keys of standard input.
std::unique_ptr<ConsoleKeys> OpenConsoleKeys();

}  // namespace drunvale
