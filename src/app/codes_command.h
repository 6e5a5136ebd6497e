// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/codes_texts.h"
#include "app/command_line.h"
#include "link/trouble_codes.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "settings/settings.h"

namespace drunvale {

// Contact, a protocol search on an unknown car included, takes well under this.
inline constexpr std::chrono::seconds kCodesWait{60};

// What a run of --codes or --clear-codes came to.
struct CodesOutcome {
  int exitCode = 0;
  std::string text;  // for standard output when exitCode is 0, else for standard error
};

// Reads or clears the codes through the link with the settings given (the port and adapter of
// this run already in them) and waits up to `wait` for the unit's word.
CodesOutcome RunCodesRequest(const Settings& settings, CodesMailbox::Ask ask,
                             SerialPortOpener opener, std::chrono::seconds wait,
                             TickClock& clock = SystemTickClock());

// --codes and --clear-codes: the stored settings with this run's port and adapter; `confirm`
// asks before a clear unless --yes was given.
CodesOutcome RunCodesCommand(const CommandLine& options, const std::function<bool()>& confirm);

}  // namespace drunvale
