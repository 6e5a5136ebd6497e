// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/serial_port_probe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>

#include "platform/temp_dir.h"

namespace drunvale {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using testing::TempDir;
using testing::WriteWholeFile;

TEST(SerialPortList, ListsEachAdapterOnceFromSysfsWithoutOpeningIt) {
  TempDir root;
  const std::string sys = root.path() + "/sys/class/tty/";
  const std::string dev = root.path() + "/dev/";
  // name: with a device behind it in sysfs, with a node in /dev, UART type (-1: none given)
  struct Tty {
    const char* name;
    bool device;
    bool node;
    int type;
  };
  for (const Tty& tty :
       {Tty{"ttyS0", true, true, 4}, Tty{"ttyS1", true, true, 0}, Tty{"ttyS10", true, true, 4},
        Tty{"ttyS2", true, true, 4}, Tty{"tty0", false, true, -1}, Tty{"console", false, true, -1},
        Tty{"ttyUSB10", true, true, -1}, Tty{"ttyUSB1", true, true, -1},
        Tty{"ttyUSB2", true, true, -1}, Tty{"ttyACM0", true, false, -1},
        Tty{"rfcomm0", false, true, -1}, Tty{"rfcomm1", false, false, -1}}) {
    WriteWholeFile(sys + tty.name + "/dev", "4:1\n");  // every tty has its numbers there
    if (tty.device) WriteWholeFile(sys + tty.name + "/device/uevent", "");
    if (tty.type >= 0) WriteWholeFile(sys + tty.name + "/type", std::to_string(tty.type) + "\n");
    if (tty.node) WriteWholeFile(dev + tty.name, "");
  }
  const std::string byId = dev + "serial/by-id/";
  std::filesystem::create_directories(byId);
  std::filesystem::create_symlink("../../ttyUSB1", byId + "usb-B-port0");
  std::filesystem::create_symlink("../../ttyUSB1", byId + "usb-C-port0");
  std::filesystem::create_symlink("../../ttyUSB10", byId + "usb-A-port0");
  std::filesystem::create_symlink("../../ttyUSB7", byId + "usb-gone-port0");

  const int watch = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, dev.c_str(), IN_OPEN), 0);

  const auto ports = ListSerialPorts({root.path() + "/sys", root.path() + "/dev"});
  const auto path = [](const std::string& p) { return Field(&SerialPortName::path, p); };
  EXPECT_THAT(ports, ElementsAre(path(dev + "rfcomm0"), path(dev + "ttyS0"), path(dev + "ttyS2"),
                                 path(dev + "ttyS10"), path(byId + "usb-B-port0"),
                                 path(dev + "ttyUSB2"), path(byId + "usb-A-port0")));
  EXPECT_EQ(ports[4].device, dev + "ttyUSB1");
  EXPECT_EQ(ports[5].device, "");

  // Only the folder was read: an open of a node would show here with its name.
  alignas(inotify_event) char events[4096];
  const ssize_t size = read(watch, events, sizeof events);
  for (ssize_t at = 0; at < size;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
    EXPECT_TRUE(event->len == 0 || (event->mask & IN_ISDIR)) << event->name;
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
  }
  close(watch);

  EXPECT_TRUE(ListSerialPorts({root.path() + "/none", root.path() + "/none"}).empty());
}

}  // namespace
}  // namespace drunvale
