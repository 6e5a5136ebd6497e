// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>

#include "emulator.h"

namespace drunvale::testing {

// QProcess starts a program by clone(CLONE_PIDFD), which qemu-user 7.2 refuses (its clone knows
// the flag from 8.0 on): under it no QProcess starts, and a board runs those tests natively.
inline bool QProcessStartsPrograms() {
  QProcess probe;
  probe.start(QStringLiteral("/bin/true"), {});
  const bool started = probe.waitForStarted(5000);
  probe.waitForFinished(5000);
  return started;
}

}  // namespace drunvale::testing

#define DRUNVALE_SKIP_IF_THE_EMULATOR_STARTS_NO_QPROCESS()                              \
  if (::drunvale::testing::kEmulated && !::drunvale::testing::QProcessStartsPrograms()) \
  GTEST_SKIP() << "qemu-user 7.2 refuses clone(CLONE_PIDFD), which QProcess starts with"
