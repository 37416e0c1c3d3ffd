// Replacing a file's whole contents through a temporary file in the same folder and a rename.
#include "settings/atomic_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/errors.h"
#include "base/output_file.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

// Writes all bytes over the file itself; the last resort when its folder takes no new files.
void WriteInPlace(const std::string& path, std::string_view bytes) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    throw FileError(FileErrorText("write", path, NotRegularFileReason(info.st_mode)));
  }
  FILE* file = std::fopen(path.c_str(), "r+b");
  if (file == nullptr) throw FileError(FileErrorText("write", path, errno));
  int error = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fflush(file) != 0) error = errno;
  if (error == 0 && ::ftruncate(::fileno(file), static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && ::fsync(::fileno(file)) != 0) error = errno;
  if (std::fclose(file) != 0 && error == 0) error = errno;
  if (error != 0) throw FileError(FileErrorText("write", path, error));
}

// The folder refuses new files while the file itself may be written.
bool OnlyTheFileIsWritable(const std::string& path) {
  const std::string target = LinkedPath(path);
  return ::access(FolderOf(target).c_str(), W_OK) != 0 && ::access(target.c_str(), W_OK) == 0;
}

}  // namespace

void AtomicWriteFile(const std::string& path, std::string_view bytes) {
  try {
    WriteWholeFile(path, bytes);
  } catch (const FileError&) {
    // Writing over the file itself is the way left when its folder takes no new file. A failure after the new file
    // was made is passed on: that folder took it.
    if (!OnlyTheFileIsWritable(path)) throw;
    WriteInPlace(path, bytes);
  }
}

}  // namespace quillet
