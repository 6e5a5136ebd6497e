// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <thread>

#include "qt/main_window.h"

namespace drunvale {
namespace {

TEST(MainWindowThreadTest, TasksPostedFromAWorkerRunOnTheUiThread) {
  MainWindow window;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::atomic<int> ranOnUi{0};
  std::atomic<int> ranElsewhere{0};
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      window.PostToUiThread(
          [&] { (std::this_thread::get_id() == uiThread ? ranOnUi : ranElsewhere)++; });
    }
  });
  worker.join();
  EXPECT_EQ(ranOnUi, 0);  // nothing runs until the event loop turns
  QTRY_COMPARE_WITH_TIMEOUT(ranOnUi.load(), 100, 5000);
  EXPECT_EQ(ranElsewhere, 0);
}

}  // namespace
}  // namespace drunvale
