// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "journal_dialogs/journal_window.h"

namespace drunvale {

class TripKeeper;

// The journal window's source over the program's journal; `open` is the view's way of opening
// a folder or a file.
JournalWindowSource JournalSourceOf(TripKeeper& journal,
                                    std::function<bool(const std::string& path)> open);

}  // namespace drunvale
