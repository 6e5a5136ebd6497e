// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "qt/emulated_process.h"

namespace drunvale {
namespace {

// The program itself, twice, for one user.
TEST(TwoCopiesTest, SecondCopyWakesTheFirstAndEndsWithZeroAndSigtermClosesTheFirst) {
  DRUNVALE_SKIP_IF_THE_EMULATOR_STARTS_NO_QPROCESS();
  QTemporaryDir runtime;  // private (0700), as a user's runtime folder is
  QTemporaryDir config;
  ASSERT_TRUE(runtime.isValid() && config.isValid());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ALSOFT_DRIVERS", "null");

  QProcess first;
  first.setProcessEnvironment(env);
  first.start(DRUNVALE_BINARY, {});
  ASSERT_TRUE(first.waitForStarted());
  // The first copy listens once its window is up.
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.path() + "/drunvale/instance.sock"), 30000);

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(DRUNVALE_BINARY, {});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);

  // SIGTERM, as a service manager stops it: the window closes as through its close box.
  first.terminate();
  ASSERT_TRUE(first.waitForFinished(20000));
  EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.exitCode(), 0);
}

}  // namespace
}  // namespace drunvale
