// Where a path really leads: every symbolic link on the way followed, but only links that may be trusted.
#include "base/file_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <system_error>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as the kernel's limit on links in one path

// The kernel's rule for protected links: in a sticky folder anyone may write to, a link is followed only when it
// belongs to this user or to the folder's owner.
bool MayFollow(const fs::path& folder, const struct stat& linkInfo) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return false;
  const bool shared = (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
  return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == info.st_uid;
}

// The names of `path` in order, without the root.
void PushNames(const fs::path& path, std::deque<fs::path>& names) {
  std::deque<fs::path> front;
  for (const fs::path& name : path.relative_path()) front.push_back(name);
  names.insert(names.begin(), front.begin(), front.end());
}

fs::path Absolute(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return ec ? fs::path(path) : absolute;
}

}  // namespace

std::string ResolvedPath(const std::string& path, const char* action) {
  std::deque<fs::path> names;
  PushNames(Absolute(path), names);
  fs::path resolved = "/";
  int links = 0;
  while (!names.empty()) {
    const fs::path name = std::move(names.front());
    names.pop_front();
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      resolved = resolved.parent_path();
      continue;
    }
    const fs::path next = resolved / name;
    struct stat info {};
    if (::lstat(next.c_str(), &info) != 0) {
      // From here on nothing exists (or cannot be looked at): the rest stays as written.
      fs::path rest = next;
      for (const fs::path& later : names) rest /= later;
      return rest.lexically_normal().string();
    }
    if (!S_ISLNK(info.st_mode)) {
      resolved = next;
      continue;
    }
    if (!MayFollow(resolved, info)) {
      const std::string what =
          names.empty() && links == 0 ? "it is" : "its way leads through \"" + next.string() + "\",";
      throw FileError(FileErrorText(action, path,
                                    what + " a link owned by another user in the shared folder \"" + resolved.string() +
                                        "\", and such a link is not followed"));
    }
    if (++links > kMaxLinks) throw FileError(FileErrorText(action, path, ELOOP));
    std::error_code ec;
    const fs::path to = fs::read_symlink(next, ec);
    if (ec) throw FileError(FileErrorText(action, path, ec.value()));
    if (to.is_absolute()) resolved = "/";
    PushNames(to, names);
  }
  return resolved.string();
}

std::string LinkedPath(const std::string& path) {
  try {
    return ResolvedPath(path);
  } catch (const FileError&) {
    return {};
  }
}

std::string FileKey(const std::string& path) {
  std::string resolved = LinkedPath(path);
  if (resolved.empty()) return Absolute(path).lexically_normal().string();
  struct stat info {};
  if (::stat(resolved.c_str(), &info) == 0) {
    std::string key = "#";
    key += std::to_string(info.st_dev);
    key += ':';
    key += std::to_string(info.st_ino);
    return key;
  }
  return resolved;
}

bool SameFile(const std::string& a, const std::string& b) { return FileKey(a) == FileKey(b); }

}  // namespace quillet
