#include "platform/serial_port_probe.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/temp_dir.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;
using testing::TempDir;
using testing::WriteWholeFile;

TEST(SerialPortProbe, CandidatesComeInGroupsByNumberThenStableNames) {
  TempDir dev;
  for (const char* name :
       {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyS0", "ttyUSB0", "tty0", "ttyS", "ttySx1",
        "ttyprintk", "console", "serial/by-id/usb-B-port0", "serial/by-id/usb-A-port0"}) {
    WriteWholeFile(dev.path() + "/" + name, "");
  }
  const std::string d = dev.path() + "/";
  EXPECT_THAT(
      SerialPortCandidates(dev.path()),
      ElementsAre(d + "ttyS0", d + "ttyS2", d + "ttyS10", d + "ttyUSB0", d + "ttyUSB1",
                  d + "ttyACM0", d + "serial/by-id/usb-A-port0", d + "serial/by-id/usb-B-port0"));
  EXPECT_TRUE(SerialPortCandidates(dev.path() + "/missing").empty());
}

TEST(SerialPortProbe, OnlyATerminalDeviceAnswers) {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  EXPECT_TRUE(SerialPortAnswers(name));

  // Held exclusively, as by a running connection: still there.
  ASSERT_EQ(ioctl(slave, TIOCEXCL), 0);
  if (geteuid() != 0) {
    EXPECT_TRUE(SerialPortAnswers(name));
  }
  close(slave);
  close(master);

  TempDir dir;
  WriteWholeFile(dir.path() + "/ttyUSB0", "");
  EXPECT_FALSE(SerialPortAnswers(dir.path() + "/ttyUSB0"));  // not a device
  EXPECT_FALSE(SerialPortAnswers("/dev/null"));              // a device, but no terminal
  EXPECT_FALSE(SerialPortAnswers(dir.path() + "/missing"));
}

}  // namespace
}  // namespace drunvale
