// Reading and writing a whole file in one go; every failure is a FileError in one message style.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"

namespace quillet {

// The one style of every file message: `Cannot <action> the file "<path>": <system reason>.` ("open", "read",
// "create", "write"); without a reason when `error` is 0.
std::string FileErrorText(std::string_view action, const std::string& path, int error);
// The same with a reason of our own: `Cannot open the file "x": it is a folder, not a regular file.`
std::string FileErrorText(std::string_view action, const std::string& path, std::string_view reason);

// Why something that is not a regular file cannot be used: "it is a folder, not a regular file" (or a named pipe
// (FIFO), a device, a socket).
std::string NotRegularFileReason(mode_t mode);

// A file larger than the reader's bound: it is not read at all.
class FileTooLargeError : public FileError {
 public:
  FileTooLargeError(const std::string& path, uint64_t maxBytes);
};

constexpr uint64_t kNoSizeLimit = std::numeric_limits<uint64_t>::max();

// Opens `path` for reading only when it is a regular file: a folder, a named pipe or a device is refused without
// waiting (a pipe with no writer would otherwise block for ever). Returns the descriptor, which the caller closes.
// Throws FileError; ENOENT shows as "No such file or directory".
int OpenRegularFileForReading(const std::string& path);

// Every byte of a regular file. Throws FileError when the file cannot be opened or read, or is not a regular file,
// and FileTooLargeError when it holds more than maxBytes.
std::string ReadWholeFile(const std::string& path, uint64_t maxBytes = kNoSizeLimit);

// As ReadWholeFile, but a file that does not exist is no failure: the result is then empty.
std::optional<std::string> ReadWholeFileIfPresent(const std::string& path, uint64_t maxBytes = kNoSizeLimit);

// Replaces or creates a file with exactly `bytes` (no line end added, no translation), whole or not at all, as
// OutputFile writes. Throws FileError; the earlier file is then untouched.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace quillet
