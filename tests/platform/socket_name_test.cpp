// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/socket_name.h"

#include <gtest/gtest.h>

namespace drunvale {
namespace {

TEST(SocketName, TakesHostsOfEveryKindAndRefusesWhatCannotBeOpened) {
  struct Good {
    const char* name;
    const char* host;
    uint16_t port;
  };
  for (const Good& good : {Good{"socket://192.168.0.10:35000", "192.168.0.10", 35000},
                           Good{"socket://elm_wifi.local:1", "elm_wifi.local", 1},
                           Good{"socket://[::1]:65535", "::1", 65535},
                           Good{"SOCKET://[fe80::1%wlan0]:08080", "fe80::1%wlan0", 8080}}) {
    SCOPED_TRACE(good.name);
    const auto parsed = ParseSocketName(good.name);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->host, good.host);
    EXPECT_EQ(parsed->port, good.port);
  }
  for (const char* bad :
       {"socket://", "socket://host", "socket://host:", "socket://:35000", "socket://host:0",
        "socket://host:65536", "socket://host:123456", "socket://host:35 000", "socket://host:+35",
        "socket://host:35000/", "socket://my host:1", "socket://user@host:1", "socket://::1:35000",
        "socket://[::1]35000", "socket://[]:1", "socket://[host]:1", "socket://[::1%]:1"}) {
    SCOPED_TRACE(bad);
    EXPECT_TRUE(IsSocketName(bad));  // so it is never opened as a device
    EXPECT_FALSE(ParseSocketName(bad).has_value());
  }
  for (const char* device : {"/dev/rfcomm0", "COM3", "sock://host:1", "socket:/host:1"}) {
    EXPECT_FALSE(IsSocketName(device)) << device;
  }
}

}  // namespace
}  // namespace drunvale
