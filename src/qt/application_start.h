// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <memory>

namespace drunvale {

// The one line printed when the window has no display to go to.
inline constexpr char kNoDisplayMessage[] =
    "drunvale: no display found; drunvale --console runs it in this terminal\n";

// Builds the application object. When Qt can reach no display it would print several lines of
// its own and abort; here its messages are held back while it connects, and a failure ends the
// process with kNoDisplayMessage and kExitNoDisplay instead. Messages of a start that works are
// passed on afterwards.
std::unique_ptr<QApplication> StartApplicationOrExit(int& argc, char** argv);

}  // namespace drunvale
