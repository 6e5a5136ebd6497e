// SPDX-License-Identifier: GPL-3.0-or-later
// The console's terminal, the requests to end and the one-copy lock, on the real system.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <thread>

#include "platform/linux/folder_instance_lock.h"
#include "platform/linux/terminal_keys.h"
#include "platform/temp_dir.h"
#include "platform/termination.h"

namespace drunvale {
namespace {

using namespace std::chrono_literals;

TEST(TerminalKeys, KeysComeSinglyAndTheTerminalIsPutBack) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  {
    auto keys = OpenTerminalKeys(slave);
    termios raw{};
    ASSERT_EQ(tcgetattr(slave, &raw), 0);
    EXPECT_EQ(raw.c_lflag & (ICANON | ECHO), 0u);
    ASSERT_EQ(write(master, "ub", 2), 2);  // no Enter
    EXPECT_EQ(keys->WaitForKey(), 'u');
    EXPECT_EQ(keys->WaitForKey(), 'b');
    auto waiting = std::async(std::launch::async, [&] { return keys->WaitForKey(); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    keys->Cancel();
    EXPECT_EQ(waiting.get(), std::nullopt);
  }
  termios after{};
  ASSERT_EQ(tcgetattr(slave, &after), 0);
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), static_cast<tcflag_t>(ICANON | ECHO));
  close(master);
  close(slave);
}

TEST(Termination, SignalsAreHandedOnWhileWatchedAndTheOldHandlingComesBack) {
  struct sigaction ignore {
  }, before{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &before);
  {
    std::promise<void> term, hup;
    int heard = 0;
    auto watch = WatchTermination([&] { (heard++ == 0 ? term : hup).set_value(); });
    raise(SIGTERM);
    EXPECT_EQ(term.get_future().wait_for(5s), std::future_status::ready);
    // A closed terminal ends the program cleanly too.
    raise(SIGHUP);
    EXPECT_EQ(hup.get_future().wait_for(5s), std::future_status::ready);
    // Output into a pipe nobody reads any more fails instead of killing the process.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    EXPECT_EQ(write(ends[1], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(ends[1]);
  }
  struct sigaction now {};
  sigaction(SIGTERM, &before, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN);
}

TEST(FolderInstanceLock, OneHolderAtATimeInAPrivateFolderOnly) {
  testing::TempDir temp;
  const std::string folder = temp.path() + "/run";
  std::string error;
  ASSERT_TRUE(EnsurePrivateDirectory(folder, error)) << error;
  struct stat st {};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  {
    FolderInstanceLock first(folder), second(folder);
    EXPECT_EQ(first.TryAcquire(error), InstanceLock::Result::Acquired);
    EXPECT_EQ(second.TryAcquire(error), InstanceLock::Result::HeldByAnother);
    EXPECT_EQ(first.MeetingPoint(), folder + "/instance.sock");
  }
  FolderInstanceLock later(folder);
  EXPECT_EQ(later.TryAcquire(error), InstanceLock::Result::Acquired);  // the holder went
  FolderInstanceLock nowhere("", "no private folder");
  EXPECT_EQ(nowhere.TryAcquire(error), InstanceLock::Result::Failed);
  EXPECT_EQ(error, "no private folder");

  // Folders others may enter, or a link in the folder's place, are refused.
  const std::string open = temp.path() + "/open";
  ASSERT_EQ(mkdir(open.c_str(), 0755), 0);
  EXPECT_FALSE(EnsurePrivateDirectory(open, error));
  const std::string link = temp.path() + "/link";
  ASSERT_EQ(symlink(folder.c_str(), link.c_str()), 0);
  EXPECT_FALSE(EnsurePrivateDirectory(link, error));
}

}  // namespace
}  // namespace drunvale
