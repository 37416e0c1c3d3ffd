// Writing the SUP file packet by packet, with errors raised as FileError naming the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace quillet {

// A SUP file being written. Open creates it or empties an existing one. Close finishes it; Discard (and
// the destructor of a file neither closed nor discarded) closes it and removes it, so that a run that failed
// leaves no file that looks complete.
class SupFileWriter {
 public:
  explicit SupFileWriter(std::string path);
  ~SupFileWriter();
  SupFileWriter(const SupFileWriter&) = delete;
  SupFileWriter& operator=(const SupFileWriter&) = delete;

  void Open();
  void Write(std::span<const uint8_t> bytes);
  void Close();
  void Discard() noexcept;
  const std::string& Path() const { return m_path; }

 private:
  [[noreturn]] void Fail(const char* what, int error);

  std::string m_path;
  std::FILE* m_file = nullptr;
  bool m_created = false;  // Open succeeded, so the file on disk is ours to remove
};

}  // namespace quillet
