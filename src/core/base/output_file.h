// A file that appears whole or not at all: written to a temporary file in the target's folder, renamed into place.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/file_paths.h"

namespace quillet {

/*
 * The bytes go to a new file in the target's folder that has no name (or, where the file system cannot make one,
 * a hidden temporary name); the target is not touched until Commit, which flushes the file to disk and renames it
 * over the target in one step. So a failed run, a crash or a kill leaves the earlier file as it was and nothing
 * at the target's name that looks complete, and two writers of one target each leave a whole file (the last to
 * commit wins). Abandon, or the destructor of a file not committed, throws the new bytes away.
 *
 * The target must be missing or a regular file. A symbolic link is followed only to a regular file, which is then
 * replaced in its own folder while the link survives; a link to anything else, or to nothing, is refused and left
 * as it is. In a folder anyone may write to that has the sticky bit (/tmp), a link is followed only when it belongs
 * to this user or to the folder's owner, as the kernel's protected links do: another user's link is refused, so a
 * planted "movie.sup -> /root/secret" never gets written through; the same holds for every folder on the way
 * (ResolvedPath). The new file belongs to the user that runs the program; it keeps the permission bits of the file
 * it replaces only when that file was this user's, and never a set-id bit.
 *
 * A run with several files finishes each of them (Finish) and then commits them together (CommitOutputs), so that
 * no earlier file is touched before every new one is safely on disk.
 */
// What tells one version of a file from another without reading it: its size, inode and modification time. A
// rename keeps all three, so the stamp of a finished OutputFile is the stamp of the file at its name after the
// commit, until something else is put there. The last file of a set (a project) can so record the others and
// tell a set of one run from a mixed one (StampOfFile).
struct FileStamp {
  uint64_t size = 0;
  uint64_t inode = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
  // "SIZE:INODE:NANOSECONDS", digits only, and back; FromText gives nothing for any other text.
  std::string Text() const;
  static std::optional<FileStamp> FromText(std::string_view text);
};
// The stamp of the file `path` names (links followed); nothing when there is none.
std::optional<FileStamp> StampOfFile(const std::string& path);

class OutputFile {
 public:
  explicit OutputFile(std::string path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file. Throws FileError naming the target: a folder, a named pipe or a device is
  // refused ("Cannot create the file "x": it is a folder, not a regular file.").
  void Open();
  void Write(std::span<const uint8_t> bytes);
  void Write(std::string_view bytes);
  // Flushes the bytes to disk and gives the file a hidden name beside the target, ready to be renamed; nothing at
  // the target's name changes. Throws FileError (a full disk shows here); the target is then unchanged.
  void Finish();
  // The stamp of the finished file (after Finish; before it, an empty stamp).
  const FileStamp& Stamp() const { return m_stamp; }
  // Finishes the file (when not done yet) and puts it at its name. Throws FileError; the target is then unchanged.
  void Commit();
  // Commit without syncing the folder afterwards: for a set of files whose folders are synced once, after the
  // last rename (CommitOutputs), so that the renames follow each other with nothing in between.
  void Rename();
  // The file that Commit replaces: the path with every link on the way followed, made absolute ("" before Open).
  const std::string& Target() const { return m_target; }
  // Whether the path is a symbolic link, so that Commit replaces the file it names and the link stays.
  bool ThroughLink() const { return m_throughLink; }
  void Abandon() noexcept;

 private:
  [[noreturn]] void Fail(std::string_view action, int error);
  void Flush();
  void WriteOut(std::string_view bytes);  // to the file, past the buffer

  std::string m_path;      // as given, for messages
  std::string m_target;    // where the bytes go: the path, or what a link at the path points to
  std::string m_tempPath;  // the temporary name, empty while the file has none
  int m_fd = -1;
  std::size_t m_written = 0;        // bytes handed to the file so far
  std::size_t m_startedToDisk = 0;  // of those, the bytes whose write-out to disk was started
  bool m_finished = false;
  bool m_throughLink = false;
  FileStamp m_stamp;
  std::string m_buffer;
};

// The folder holding `file` ("." for a name without one).
std::string FolderOf(const std::string& file);

// Flushes the folder holding `file` to disk, so that renames in it survive a crash. Best effort: a folder that
// cannot be synced changes nothing about the renames, which are done.
void SyncFolder(const std::string& file);

// Whether `name` (a bare file name) is a hidden temporary name OutputFile gives to a file for the target named
// `targetName`; `pid` is then the process that gave it.
bool IsTemporaryNameOf(std::string_view name, std::string_view targetName, long& pid);

// Removes the file at `path` when it is a regular file or a symbolic link: an output a run replaces or no longer
// stands behind. A link is removed itself, never the file it points to. A missing file is no failure; a folder or
// anything else that is not a file is left alone. Throws FileError.
void RemoveOutputFile(const std::string& path);

}  // namespace quillet
