// The files of one run put into place together: every new file on disk first, then the swap under a lock.
#include "base/output_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <map>
#include <vector>

namespace quillet {
namespace {

// Exclusive flock on every folder given, each folder once however it is spelt (a lock taken twice through two
// names would wait for itself), taken in the order of the folders' identities so that two runs never wait for
// each other in a circle; released when this goes away. A folder that cannot be opened for it is not locked: the
// swap then goes ahead as it would without the lock (renames stay whole files either way).
class FolderLocks {
 public:
  explicit FolderLocks(const std::vector<std::string>& folders) {
    std::map<std::pair<dev_t, ino_t>, int> opened;
    for (const std::string& folder : folders) {
      const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      struct stat info {};
      if (fd < 0) continue;
      if (::fstat(fd, &info) != 0 || !opened.emplace(std::pair(info.st_dev, info.st_ino), fd).second) ::close(fd);
    }
    for (const auto& [identity, fd] : opened) {
      int result = 0;
      do {
        result = ::flock(fd, LOCK_EX);
      } while (result != 0 && errno == EINTR);
      m_fds.push_back(fd);
    }
  }
  ~FolderLocks() {
    for (int fd : m_fds) ::close(fd);
  }
  FolderLocks(const FolderLocks&) = delete;
  FolderLocks& operator=(const FolderLocks&) = delete;

 private:
  std::vector<int> m_fds;
};

// Removes the hidden temporary files that runs killed before their commit left for `targets` (bare names) in
// `folder`: those of this user whose process is gone. A live run's files are left alone, as is anything else.
void RemoveStaleTemporaryFiles(const std::string& folder, const std::vector<std::string>& targets) {
  DIR* const listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  const int folderFd = ::dirfd(listing);
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] != '.') continue;
    const std::string_view name = entry->d_name;
    long pid = 0;
    const bool ours = std::any_of(targets.begin(), targets.end(),
                                  [&](const std::string& target) { return IsTemporaryNameOf(name, target, pid); });
    if (!ours || pid == ::getpid() || pid <= 0 || pid > std::numeric_limits<pid_t>::max()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    struct stat info {};
    if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) continue;
    ::unlinkat(folderFd, entry->d_name, 0);
  }
  ::closedir(listing);
}

// The bare names of `files`' targets, by folder.
std::map<std::string, std::vector<std::string>> TargetsByFolder(std::span<OutputFile* const> files) {
  std::map<std::string, std::vector<std::string>> targets;
  for (OutputFile* file : files) {
    targets[FolderOf(file->Target())].push_back(std::filesystem::path(file->Target()).filename().string());
  }
  return targets;
}

}  // namespace

void CommitOutputs(std::span<OutputFile* const> files, std::span<const std::string> removals) {
  for (OutputFile* file : files) file->Finish();
  std::vector<std::string> folders;
  for (OutputFile* file : files) folders.push_back(FolderOf(file->Target()));
  for (const std::string& removal : removals) folders.push_back(FolderOf(removal));
  std::vector<std::string> synced = folders;
  const FolderLocks locks(folders);
  // The removals and renames follow each other with nothing in between; the folders are synced after the last.
  for (const std::string& removal : removals) RemoveOutputFile(removal);
  for (OutputFile* file : files) file->Rename();
  for (const auto& [folder, names] : TargetsByFolder(files)) RemoveStaleTemporaryFiles(folder, names);
  std::sort(synced.begin(), synced.end());
  synced.erase(std::unique(synced.begin(), synced.end()), synced.end());
  for (const std::string& folder : synced) SyncFolder(folder + "/.");
}

}  // namespace quillet
