// Reading and writing a whole file in one go; every failure is a FileError in one message style.
#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "base/output_file.h"

namespace quillet {
namespace {

[[noreturn]] void Fail(std::string_view action, const std::string& path, int error) {
  throw FileError(FileErrorText(action, path, error));
}

std::string ReadOpen(const Descriptor& file, const std::string& path, uint64_t maxBytes) {
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) Fail("read", path, errno);
  if (static_cast<uint64_t>(info.st_size) > maxBytes) throw FileTooLargeError(path, maxBytes);

  // The size is a hint only (a file that grows reports another): read until the end either way, straight into the
  // string, which doubles when it fills. The byte past the size lets the first read already see the end; growing
  // stops one byte past the bound, which is enough to show that the file is too large.
  std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      const uint64_t doubled = 2 * static_cast<uint64_t>(bytes.size());
      bytes.resize(static_cast<std::size_t>(doubled > maxBytes ? maxBytes + 1 : doubled));
    }
    const ssize_t got = ::read(file.fd, bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("read", path, errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
    if (used > maxBytes) throw FileTooLargeError(path, maxBytes);
  }
  bytes.resize(used);
  return bytes;
}

std::string SizeText(uint64_t bytes) {
  if (bytes % (1 << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

std::string FileErrorText(std::string_view action, const std::string& path, int error) {
  std::string message = "Cannot " + std::string(action) + " the file \"" + path + "\"";
  if (error != 0) message += ": " + std::string(std::strerror(error));
  return message + ".";
}

std::string FileErrorText(std::string_view action, const std::string& path, std::string_view reason) {
  return "Cannot " + std::string(action) + " the file \"" + path + "\": " + std::string(reason) + ".";
}

std::string NotRegularFileReason(mode_t mode) {
  const char* kind = S_ISDIR(mode)                    ? "a folder"
                     : S_ISFIFO(mode)                 ? "a named pipe (FIFO)"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                     : S_ISSOCK(mode)                 ? "a socket"
                                                      : "something else";
  return std::string("it is ") + kind + ", not a regular file";
}

FileTooLargeError::FileTooLargeError(const std::string& path, uint64_t maxBytes)
    : FileError(FileErrorText("read", path, "it is larger than " + SizeText(maxBytes))) {}

int OpenRegularFileForReading(const std::string& path) {
  // O_NONBLOCK: opening a named pipe returns at once instead of waiting for a writer; it is refused just below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Fail("open", path, errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = errno;
    ::close(fd);
    if (info.st_mode == 0) Fail("open", path, error);
    throw FileError(FileErrorText("open", path, NotRegularFileReason(info.st_mode)));
  }
  // Reads of a regular file never wait anyway; the flag is cleared so the descriptor behaves as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::string ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  Descriptor file{OpenRegularFileForReading(path)};
  return ReadOpen(file, path, maxBytes);
}

std::optional<std::string> ReadWholeFileIfPresent(const std::string& path, uint64_t maxBytes) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return std::nullopt;
  Descriptor file{OpenRegularFileForReading(path)};
  return ReadOpen(file, path, maxBytes);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  OutputFile file(path);
  file.Open();
  file.Write(bytes);
  file.Commit();
}

}  // namespace quillet
