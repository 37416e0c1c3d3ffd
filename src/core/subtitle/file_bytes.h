// Reads a whole file into memory in one go; failures become FileError naming the file.
#pragma once

#include <string>

namespace quillet {

// Every byte of the file. Throws FileError ("Cannot open file "<name>": <reason>" or "Cannot read file ...")
// when the file cannot be opened or read, a folder included.
std::string ReadFileBytes(const std::string& fileName);

}  // namespace quillet
