// A POSIX file descriptor that closes itself, and writing every byte to one.
#include "base/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

namespace quillet {

Descriptor::~Descriptor() {
  if (fd >= 0) ::close(fd);
}

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace quillet
