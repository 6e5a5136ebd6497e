// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace drunvale {

// The program's icon, compiled in: the 16 and 32 pixel drawings.
QIcon AppIcon();

}  // namespace drunvale
