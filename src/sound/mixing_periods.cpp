#include "sound/mixing_periods.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace drunvale {

void RequestShortMixingPeriods() {
  const char* existing = std::getenv("ALSOFT_CONF");
  if (existing && *existing) return;

  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string dir = runtime && *runtime ? runtime : "/tmp";
  std::string path = dir + "/drunvale-" + std::to_string(getuid()) + "-alsoft.conf";
  // Owner-only, and never through a link someone else planted in a shared folder.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  struct stat info {};
  bool ours = fstat(fd, &info) == 0 && info.st_uid == getuid() && S_ISREG(info.st_mode);
  static const char kConfig[] = "[general]\nperiod_size = 256\nperiods = 3\n";
  bool written = ours && write(fd, kConfig, sizeof kConfig - 1) == sizeof kConfig - 1;
  close(fd);
  if (written) setenv("ALSOFT_CONF", path.c_str(), 0);
}

}  // namespace drunvale
