// Replacing a file's whole contents through a temporary file in the same folder and a rename.
#include "settings/atomic_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/errors.h"
#include "base/output_file.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

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
  std::error_code ec;
  const fs::path target =
      fs::is_symlink(fs::symlink_status(path, ec)) ? fs::weakly_canonical(path, ec) : fs::path(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  return ::access(folder.c_str(), W_OK) != 0 && ::access(target.c_str(), W_OK) == 0;
}

}  // namespace

void AtomicWriteFile(const std::string& path, std::string_view bytes) {
  OutputFile file(path);
  try {
    file.Open();
  } catch (const FileError&) {
    if (!OnlyTheFileIsWritable(path)) throw;
    WriteInPlace(path, bytes);
    return;
  }
  file.Write(bytes);
  file.Commit();
}

}  // namespace quillet
