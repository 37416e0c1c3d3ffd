// Reading and writing a whole file in one go; every failure is a FileError in one message style.
#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/errors.h"

namespace quillet {
namespace {

[[noreturn]] void Fail(std::string_view action, const std::string& path, int error) {
  throw FileError(FileErrorText(action, path, error));
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string ReadOpen(const Descriptor& file, const std::string& path) {
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) Fail("read", path, errno);
  if (S_ISDIR(info.st_mode)) Fail("open", path, EISDIR);

  std::string bytes;
  // The size is a hint only (a pipe or a growing file reports another); read until the end either way.
  if (S_ISREG(info.st_mode) && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(file.fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("read", path, errno);
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

}  // namespace

std::string FileErrorText(std::string_view action, const std::string& path, int error) {
  std::string message = "Cannot " + std::string(action) + " the file \"" + path + "\"";
  if (error != 0) message += ": " + std::string(std::strerror(error));
  return message + ".";
}

std::string ReadWholeFile(const std::string& path) {
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) Fail("open", path, errno);
  return ReadOpen(file, path);
}

std::optional<std::string> ReadWholeFileIfPresent(const std::string& path) {
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail("open", path, errno);
  }
  return ReadOpen(file, path);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("create", path, errno);
  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int error = errno;
  const bool flushed = std::fflush(file) == 0;
  if (error == 0) error = errno;
  const bool closed = std::fclose(file) == 0;
  if (error == 0) error = errno;
  if (!written || !flushed || !closed) {
    std::remove(path.c_str());
    Fail("write", path, error);
  }
}

}  // namespace quillet
