// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/app_icon.h"

namespace drunvale {

QIcon AppIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/drunvale/drunvale-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/drunvale/drunvale-32.png"), QSize(32, 32));
  return icon;
}

}  // namespace drunvale
