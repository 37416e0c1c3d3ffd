// The files of one run put into place together: every new file on disk first, then the swap under a lock.
#include "base/output_set.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace quillet {
namespace {

// Exclusive flock on every folder given, taken in sorted order so that two runs never wait for each other in a
// circle; released when this goes away. A folder that cannot be opened for it is not locked: the swap then goes
// ahead as it would without the lock (renames stay whole files either way).
class FolderLocks {
 public:
  explicit FolderLocks(std::vector<std::string> folders) {
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& folder : folders) {
      const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd < 0) continue;
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

}  // namespace

void CommitOutputs(std::span<OutputFile* const> files, std::span<const std::string> removals) {
  for (OutputFile* file : files) file->Finish();
  std::vector<std::string> folders;
  for (OutputFile* file : files) folders.push_back(FolderOf(file->Target()));
  for (const std::string& removal : removals) folders.push_back(FolderOf(removal));
  std::vector<std::string> synced = folders;
  const FolderLocks locks(std::move(folders));
  // The removals and renames follow each other with nothing in between; the folders are synced after the last.
  for (const std::string& removal : removals) RemoveOutputFile(removal);
  for (OutputFile* file : files) file->Rename();
  std::sort(synced.begin(), synced.end());
  synced.erase(std::unique(synced.begin(), synced.end()), synced.end());
  for (const std::string& folder : synced) SyncFolder(folder + "/.");
}

}  // namespace quillet
