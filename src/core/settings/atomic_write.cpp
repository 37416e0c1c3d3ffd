// Replacing a file's whole contents through a temporary file in the same folder and a rename.
#include "settings/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& path, int error) { throw FileError(FileErrorText("write", path, error)); }

// Writes all bytes; returns 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

// The file that really gets the contents: a symbolic link is followed so the link itself survives.
std::string TargetOf(const std::string& path) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) return resolved.string();
  }
  return path;
}

// Creates a new, uniquely named file beside `target`; returns its descriptor or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& tempPath) {
  fs::path p(target);
  fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = (folder / ("." + p.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                          std::to_string(random() % 1000000)))
                   .string();
    // 0666 lets the process's umask decide the bits of a new settings file, as for any file it creates.
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void SyncFolder(const std::string& target) {
  fs::path folder = fs::path(target).has_parent_path() ? fs::path(target).parent_path() : fs::path(".");
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the rename is already done; a folder that cannot be synced changes nothing about the result
  ::close(fd);
}

void WriteInPlace(const std::string& target, std::string_view bytes) {
  int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) Fail(target, errno);
  int error = WriteAll(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) Fail(target, error);
}

}  // namespace

void AtomicWriteFile(const std::string& path, std::string_view bytes) {
  const std::string target = TargetOf(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;

  std::string tempPath;
  int fd = CreateTemporary(target, tempPath);
  if (fd < 0) {
    int error = errno;
    if ((error == EACCES || error == EPERM) && exists && ::access(target.c_str(), W_OK) == 0) {
      WriteInPlace(target, bytes);
      return;
    }
    Fail(target, error);
  }

  int error = 0;
  if (exists) {
    // Keep who owns the file and who may read it; an owner the process may not give away is left as created.
    if (::fchmod(fd, old.st_mode & 07777) != 0) error = errno;
    [[maybe_unused]] int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  if (error == 0) error = WriteAll(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempPath.c_str());
    Fail(target, error);
  }
  SyncFolder(target);
}

}  // namespace quillet
