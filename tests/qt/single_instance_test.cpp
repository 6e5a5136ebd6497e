// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "platform/testing/shared_instance_lock.h"
#include "qt/about_box.h"
#include "qt/main_window.h"
#include "qt/single_instance.h"

namespace drunvale {
namespace {

// Copies of the program on one machine: one lock between them, one place to meet.
class SingleInstanceTest : public ::testing::Test {
 protected:
  std::unique_ptr<InstanceLock> Copy() {
    return std::make_unique<SharedInstanceLock>(taken,
                                                (temp.path() + "/instance.sock").toStdString());
  }
  QTemporaryDir temp;
  std::shared_ptr<std::atomic<bool>> taken = std::make_shared<std::atomic<bool>>(false);
};

TEST_F(SingleInstanceTest, SecondCopyAsksTheFirstToComeForward) {
  SingleInstance first(Copy());
  ASSERT_EQ(first.Claim(), SingleInstance::Role::First);
  int requests = 0;
  ASSERT_TRUE(first.Serve([&] { ++requests; })) << first.LastError();

  SingleInstance second(Copy());
  EXPECT_EQ(second.Claim(), SingleInstance::Role::Second);
  QTRY_COMPARE_WITH_TIMEOUT(requests, 1, 5000);

  // Every later start asks again.
  SingleInstance third(Copy());
  EXPECT_EQ(third.Claim(), SingleInstance::Role::Second);
  QTRY_COMPARE_WITH_TIMEOUT(requests, 2, 5000);
}

TEST_F(SingleInstanceTest, SocketLeftByADeadCopyIsReplaced) {
  // A socket file nobody listens on, as a crashed copy leaves it.
  SingleInstance first(Copy());
  {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, first.SocketPath().c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
  }
  ASSERT_TRUE(QFile::exists(QString::fromStdString(first.SocketPath())));
  ASSERT_EQ(first.Claim(), SingleInstance::Role::First);
  int requests = 0;
  ASSERT_TRUE(first.Serve([&] { ++requests; })) << first.LastError();
  EXPECT_TRUE(AskRunningInstanceToShow(first.SocketPath(), 1000));
  QTRY_COMPARE_WITH_TIMEOUT(requests, 1, 5000);
}

TEST(BringToFrontTest, RestoresTheWindowAndRaisesAnOpenModalBox) {
  MainWindow window;
  window.show();
  window.setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(window.isMinimized());
  bool aboutWasInFront = false;
  AboutBox* about = new AboutBox(&window);
  QTimer::singleShot(0, about, [&] {
    BringToFront(&window);
    aboutWasInFront = QApplication::activeModalWidget() == about && about->isVisible();
    about->done(1);
  });
  about->exec();
  delete about;
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(aboutWasInFront);
}

}  // namespace
}  // namespace drunvale
