// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/testing/manual_termination.h"
#include "platform/testing/scripted_console_keys.h"

namespace drunvale {
namespace {

TEST(ConsoleLoop, KeysPostsTicksAndOneEndRunOnTheLoopThreadUntilItQuits) {
  ManualTermination termination;
  ConsoleLoop loop([] { return std::make_unique<ScriptedConsoleKeys>("ab"); },
                   termination.Watcher());
  const std::thread::id loopThread = std::this_thread::get_id();
  std::vector<std::string> seen;
  int ticks = 0;
  bool requested = false;
  loop.OnKey([&](char key) {
    EXPECT_EQ(std::this_thread::get_id(), loopThread);
    seen.push_back(std::string("key ") + key);
    if (key == 'b') std::thread([&] { loop.Post([&] { seen.push_back("posted"); }); }).join();
  });
  loop.StartTimer(5, [&] {
    // Ctrl+C twice once both keys are in: the program ends once.
    if (++ticks >= 3 && seen.size() == 3 && !requested) {
      requested = true;
      EXPECT_TRUE(termination.Request());
      EXPECT_TRUE(termination.Request());
    }
  });
  int ends = 0;
  loop.OnTerminate([&] {
    ++ends;
    seen.push_back("end");
    loop.Quit();
  });
  loop.Run();

  EXPECT_EQ(seen, (std::vector<std::string>{"key a", "key b", "posted", "end"}));
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(termination.Request());  // the watch went with the run
}

}  // namespace
}  // namespace drunvale
