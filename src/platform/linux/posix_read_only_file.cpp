// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/read_only_file.h"

namespace drunvale {
namespace {

class PosixReadOnlyFile final : public ByteSource {
 public:
  PosixReadOnlyFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~PosixReadOnlyFile() override { ::close(fd_); }
  PosixReadOnlyFile(const PosixReadOnlyFile&) = delete;
  PosixReadOnlyFile& operator=(const PosixReadOnlyFile&) = delete;

  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
    size_t done = 0;
    while (done < out.size()) {
      ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenReadOnlyFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixReadOnlyFile>(fd, static_cast<uint64_t>(st.st_size));
}

}  // namespace drunvale
