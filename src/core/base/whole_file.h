// Reading and writing a whole file in one go; every failure is a FileError in one message style.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The one style of every file message: `Cannot <action> the file "<path>": <system reason>.` ("open", "read",
// "create", "write"); without a reason when `error` is 0.
std::string FileErrorText(std::string_view action, const std::string& path, int error);

// Every byte of the file. Throws FileError when the file cannot be opened or read, a folder included.
std::string ReadWholeFile(const std::string& path);

// As ReadWholeFile, but a file that does not exist is no failure: the result is then empty.
std::optional<std::string> ReadWholeFileIfPresent(const std::string& path);

// Creates or overwrites a file with exactly `bytes` (no line end added, no translation). A file that could not be
// written completely is removed. Throws FileError.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace quillet
