// A POSIX file descriptor that closes itself, and writing every byte to one.
#pragma once

#include <cstddef>

namespace quillet {

// Closes the descriptor on every way out. Set fd to -1 first to close it by hand and see close's result.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  ~Descriptor();
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int fd;
};

// Writes all `size` bytes, again after a signal interrupted a write. Returns 0, or the errno of the failed write.
int WriteAll(int fd, const char* data, std::size_t size);

}  // namespace quillet
