// A file that appears whole or not at all: written to a temporary file in the target's folder, renamed into place.
#include "base/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <random>

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "base/file_paths.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferBytes = 1 << 16;
// How much is written before its write-out to disk is started.
constexpr std::size_t kStartToDiskBytes = 1 << 20;
// How much of the target's name a temporary name carries, so that it stays within the file system's limit.
constexpr std::size_t kTargetNameInTemporary = 200;

// The file that really gets the bytes: the path with every link on the way followed (so a link at the name
// survives). Throws FileError when a link may not be followed, or the path is a link to nothing or to something
// other than a regular file.
std::string TargetOf(const std::string& path) {
  std::string target = ResolvedPath(path, "create");
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) {
    const int error = errno;
    if (error != ENOENT) throw FileError(FileErrorText("create", target, error));
    throw FileError(FileErrorText("create", path, "it is a link to \"" + target + "\", which does not exist"));
  }
  if (!S_ISREG(info.st_mode)) {
    // "it is a device, not a regular file" -> "it is a link to "x", which is a device, not a regular file"
    throw FileError(FileErrorText(
        "create", path, "it is a link to \"" + target + "\", which " + NotRegularFileReason(info.st_mode).substr(3)));
  }
  return target;
}

// A hidden name beside the target that no other file has yet; "" when none could be found.
std::string UnusedTemporaryName(const std::string& target) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  const fs::path folder(FolderOf(target));
  // The target's name, cut so that the hidden name stays within the file system's limit on names.
  std::string prefix = ".";
  prefix += fs::path(target).filename().string().substr(0, kTargetNameInTemporary);
  prefix += '.';
  prefix += std::to_string(::getpid());
  prefix += '-';
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    name += std::to_string(random() % 100000000);
    name += ".part";
    const fs::path candidate = folder / name;
    struct stat info {};
    if (::lstat(candidate.c_str(), &info) == 0) continue;
    if (errno == ENOENT) return candidate.string();
    return {};  // no name in this folder can be tried
  }
  return {};
}

}  // namespace

void SyncFolder(const std::string& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the rename is done either way; a folder that cannot be synced changes nothing about the result
  ::close(fd);
}

std::string FolderOf(const std::string& file) {
  const fs::path p(file);
  return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

OutputFile::OutputFile(std::string path) : m_path(std::move(path)) {}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::Open() {
  Abandon();
  m_target = TargetOf(m_path);
  struct stat link {};
  m_throughLink = ::lstat(m_path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  struct stat old {};
  const bool exists = ::stat(m_target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    throw FileError(FileErrorText("create", m_path, NotRegularFileReason(old.st_mode)));
  }
  // An unnamed file is made in the folder, so a name too long for the file system would show only at the rename.
  const long nameMax = ::pathconf(FolderOf(m_target).c_str(), _PC_NAME_MAX);
  if (nameMax > 0 && fs::path(m_target).filename().string().size() > static_cast<std::size_t>(nameMax)) {
    throw FileError(FileErrorText("create", m_path, ENAMETOOLONG));
  }
  // 0666 lets the process's umask decide the bits of a new file, as for any file it creates.
  m_fd = ::open(FolderOf(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (m_fd < 0) {
    // A file system without unnamed files: a hidden name in the same folder instead.
    for (int attempt = 0; attempt < 10 && m_fd < 0; ++attempt) {
      m_tempPath = UnusedTemporaryName(m_target);
      if (m_tempPath.empty()) break;
      m_fd = ::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
      const int error = errno;
      m_tempPath.clear();
      throw FileError(FileErrorText("create", m_path, error));
    }
  }
  if (exists && old.st_uid == ::geteuid()) {
    // The new file is this user's, as any file the process creates. Of a file this user owned it keeps who may
    // read and write it, never a set-id bit; another user's file gives it nothing (a file planted in a shared
    // folder would otherwise hand that user the new file, or let them write to it).
    // Its group stays too when this user may give it (one of the user's own groups).
    [[maybe_unused]] const int ignored = ::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
    if (::fchmod(m_fd, old.st_mode & 0777) != 0) Fail("create", errno);
  }
  m_buffer.reserve(kBufferBytes);
}

void OutputFile::Write(std::span<const uint8_t> bytes) {
  Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void OutputFile::Write(std::string_view bytes) {
  if (m_buffer.size() + bytes.size() > kBufferBytes) Flush();
  if (bytes.size() >= kBufferBytes) {
    WriteOut(bytes);
  } else {
    m_buffer.append(bytes);
  }
}

void OutputFile::Flush() {
  if (m_buffer.empty()) return;
  WriteOut(m_buffer);
  m_buffer.clear();
}

void OutputFile::WriteOut(std::string_view bytes) {
  if (const int error = WriteAll(m_fd, bytes.data(), bytes.size())) Fail("write", error);
  m_written += bytes.size();
  if (m_written - m_startedToDisk >= kStartToDiskBytes) {
    // Start putting what is written on disk now, without waiting for it: the flush before the rename then has
    // little left to wait for (a two-hour film's run about 5 % sooner, paired runs). Only a hint; where it
    // does nothing, the flush does it all.
    ::sync_file_range(m_fd, static_cast<off_t>(m_startedToDisk), static_cast<off_t>(m_written - m_startedToDisk),
                      SYNC_FILE_RANGE_WRITE);
    m_startedToDisk = m_written;
  }
}

void OutputFile::Finish() {
  if (m_finished) return;
  Flush();
  if (::fsync(m_fd) != 0) Fail("write", errno);
  if (m_tempPath.empty()) {
    // An unnamed file gets a hidden name first: a file can only be renamed over the target once it has one.
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 10 && m_tempPath.empty(); ++attempt) {
      std::string name = UnusedTemporaryName(m_target);
      if (name.empty()) break;
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        m_tempPath = std::move(name);
      } else if (errno != EEXIST) {
        Fail("write", errno);
      }
    }
    if (m_tempPath.empty()) Fail("write", EEXIST);
  }
  struct stat info {};
  if (::fstat(m_fd, &info) != 0) Fail("write", errno);
  m_stamp = {static_cast<uint64_t>(info.st_size), static_cast<uint64_t>(info.st_ino),
             static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
  if (::close(m_fd) != 0) {
    m_fd = -1;
    Fail("write", errno);
  }
  m_fd = -1;
  m_finished = true;
}

void OutputFile::Commit() {
  Rename();
  SyncFolder(m_target);
}

void OutputFile::Rename() {
  Finish();
  if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) Fail("write", errno);
  m_tempPath.clear();
  m_finished = false;
}

void OutputFile::Abandon() noexcept {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
  m_tempPath.clear();
  m_buffer.clear();
  m_written = 0;
  m_startedToDisk = 0;
  m_finished = false;
  m_stamp = {};
}

void OutputFile::Fail(std::string_view action, int error) {
  Abandon();
  throw FileError(FileErrorText(action, m_path, error));
}

std::string FileStamp::Text() const {
  return std::to_string(size) + ":" + std::to_string(inode) + ":" + std::to_string(modifiedNs);
}

std::optional<FileStamp> FileStamp::FromText(std::string_view text) {
  FileStamp stamp;
  const auto take = [&text](auto& value, bool last) {
    const std::size_t end = last ? text.size() : text.find(':');
    if (end == 0 || end == std::string_view::npos) return false;
    const auto [at, ec] = std::from_chars(text.data(), text.data() + end, value);
    if (ec != std::errc() || at != text.data() + end) return false;
    text.remove_prefix(last ? end : end + 1);
    return true;
  };
  if (!take(stamp.size, false) || !take(stamp.inode, false) || !take(stamp.modifiedNs, true)) return std::nullopt;
  if (stamp.modifiedNs < 0) return std::nullopt;
  return stamp;
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{static_cast<uint64_t>(info.st_size), static_cast<uint64_t>(info.st_ino),
                   static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool IsTemporaryNameOf(std::string_view name, std::string_view targetName, long& pid) {
  // "." TARGET "." PID "-" NUMBER ".part", the target's name cut as UnusedTemporaryName cuts it.
  const std::string_view target = targetName.substr(0, kTargetNameInTemporary);
  if (name.size() < target.size() + 2 || name[0] != '.' || name.substr(1, target.size()) != target) return false;
  name.remove_prefix(1 + target.size());
  if (!name.starts_with('.') || !name.ends_with(".part")) return false;
  name = name.substr(1, name.size() - 6);
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i != dash && (name[i] < '0' || name[i] > '9')) return false;
  }
  const auto [at, ec] = std::from_chars(name.data(), name.data() + dash, pid);
  return ec == std::errc() && at == name.data() + dash;
}

void RemoveOutputFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !(S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) return;
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw FileError(FileErrorText("remove", path, errno));
}

}  // namespace quillet
