// Replacing a file's whole contents so that a crash, a full disk or a failed write never leaves it half written.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Writes `bytes` to a new file in the folder of `path`, flushes it to disk and renames it over `path`. An existing
// file keeps its permission bits and owner; a symbolic link to a regular file keeps pointing where it did and its
// target gets the new contents, replaced in the target's own folder. Anything else at the path (a folder, a named
// pipe, a device, or a link to one of them or to nothing) is refused and left as it is. When the folder refuses new
// files but the file itself may be written, the file is rewritten in place instead (the only way left to save it).
// Throws FileError naming the file and the system's reason; on failure the old file is untouched and no temporary file
// remains.
void AtomicWriteFile(const std::string& path, std::string_view bytes);

}  // namespace quillet
