// Reads a whole file into memory in one go; failures become FileError naming the file.
#include "subtitle/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/errors.h"

namespace quillet {
namespace {

[[noreturn]] void Fail(const char* what, const std::string& fileName, int error) {
  throw FileError(std::string(what) + " \"" + fileName + "\": " + std::strerror(error));
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string ReadFileBytes(const std::string& fileName) {
  Descriptor file{::open(fileName.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) Fail("Cannot open file", fileName, errno);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) Fail("Cannot read file", fileName, errno);
  if (S_ISDIR(info.st_mode)) Fail("Cannot open file", fileName, EISDIR);

  std::string bytes;
  // The size is a hint only (a pipe or a growing file reports another); read until the end either way.
  if (S_ISREG(info.st_mode) && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(file.fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", fileName, errno);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

}  // namespace quillet
