// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/screen_saver_inhibitor.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>
#include <mutex>

#include "qt/emulated_process.h"

namespace drunvale {
namespace {

// The desktop's side of org.freedesktop.ScreenSaver: hands out cookies 1, 2, ... and notes
// every call as text.
class FakeScreenSaver final : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    std::lock_guard lock(mutex_);
    const QList<QVariant> args = message.arguments();
    if (message.member() == "Inhibit" && args.size() == 2) {
      calls_ << "Inhibit " + args[0].toString();
      connection.send(message.createReply(QVariant::fromValue(++cookie_)));
    } else if (message.member() == "UnInhibit" && args.size() == 1) {
      calls_ << "UnInhibit " + QString::number(args[0].toUInt());
      connection.send(message.createReply());
    } else {
      return false;
    }
    return true;
  }
  QStringList Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  QStringList calls_;
  uint32_t cookie_ = 0;
};

// A session bus of the test's own, with the fake desktop on it.
class ScreenSaverInhibitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DRUNVALE_SKIP_IF_THE_EMULATOR_STARTS_NO_QPROCESS();
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(daemon_.waitForReadyRead(10000)) << "dbus-daemon did not start";
    const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
    QDBusConnection desktop = QDBusConnection::connectToBus(address, "desktop");
    ASSERT_TRUE(desktop.registerVirtualObject("/org/freedesktop/ScreenSaver", &desktop_));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.ScreenSaver"));
    client_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "client"));
  }
  void TearDown() override {
    client_.reset();
    QDBusConnection::disconnectFromBus("client");
    QDBusConnection::disconnectFromBus("desktop");
    daemon_.kill();
    daemon_.waitForFinished();
  }

  QProcess daemon_;
  FakeScreenSaver desktop_;
  std::unique_ptr<QDBusConnection> client_;
};

TEST_F(ScreenSaverInhibitorTest, HoldsOnceLetsGoOnReleaseEvenBeforeTheAnswerCame) {
  ScreenSaverInhibitor inhibitor(*client_);
  inhibitor.Hold();
  inhibitor.Hold();
  QTRY_VERIFY_WITH_TIMEOUT(inhibitor.Holding(), 5000);
  inhibitor.Release();
  EXPECT_FALSE(inhibitor.Holding());
  QTRY_COMPARE_WITH_TIMEOUT(desktop_.Calls(), QStringList({"Inhibit Drunvale", "UnInhibit 1"}),
                            5000);

  // Stopped again before the desktop answered: the cookie it sends is handed back at once.
  inhibitor.Hold();
  inhibitor.Release();
  QTRY_COMPARE_WITH_TIMEOUT(desktop_.Calls().size(), 4, 5000);
  EXPECT_EQ(desktop_.Calls().mid(2), QStringList({"Inhibit Drunvale", "UnInhibit 2"}));
  EXPECT_FALSE(inhibitor.Holding());
}

TEST(ScreenSaverInhibitor, WithoutADesktopNothingIsHeldAndNothingFails) {
  ScreenSaverInhibitor inhibitor(QDBusConnection::connectToBus("unix:path=/nonexistent", "none"));
  inhibitor.Hold();
  QTest::qWait(50);
  EXPECT_FALSE(inhibitor.Holding());
  inhibitor.Release();
}

}  // namespace
}  // namespace drunvale
