// Helpers shared by the test executables: scratch folders and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace quillet::test {

// A fresh folder under the system's temporary folder, removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // Path of a file inside the folder (not created).
  std::string File(const std::string& name) const { return (m_path / name).string(); }
  // Writes bytes to a file inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path m_path;
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

std::string ReadFile(const std::string& path);
// The message of the FileError `action` throws, or "no error" when it throws none.
std::string MessageOf(const std::function<void()>& action);
void WriteFile(const std::string& path, const std::string& bytes);

// A copy of the built program (with its quillet.exe link) in a temporary folder of its own, made once per test
// executable: the program writes its settings file beside itself, and tests must not write into the build tree.
const std::string& ProgramCopy();

// An X display name with no server behind it: ":99", or the next number whose lock file and socket are absent.
std::string UnusedXDisplay();

// Path of a file under tests/data.
inline std::string DataFile(const std::string& name) { return std::string(QUILLET_TEST_DATA) + "/" + name; }

}  // namespace quillet::test
