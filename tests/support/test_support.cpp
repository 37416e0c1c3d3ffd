// Helpers shared by the test executables: scratch folders and whole-file reads and writes.
#include "test_support.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "base/errors.h"

namespace quillet::test {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FileError& e) {
    return e.what();
  }
  return "no error";
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    m_path = base / ("quillet-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                     std::to_string(rd() % 100000));
    if (std::filesystem::create_directory(m_path)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string path = File(name);
  WriteFile(path, bytes);
  return path;
}

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : m_name(name) {
  if (const char* old = std::getenv(name)) m_old = old;
  ::setenv(name, value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
  if (m_old) {
    ::setenv(m_name, m_old->c_str(), 1);
  } else {
    ::unsetenv(m_name);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A second name for a built file (it is only read and run), or a copy where the folders lie on different file
// systems. One process per test makes this once per test; a sanitizer build's program and modules are over 100 MB.
static void LinkOrCopy(const char* built, const std::string& path) {
  std::error_code linkError;
  std::filesystem::create_hard_link(built, path, linkError);
  if (linkError) std::filesystem::copy_file(built, path);
}

const std::string& ProgramCopy() {
  static const TempDir folder;
  static const std::string program = [] {
    const std::string path = folder.File("quillet");
    LinkOrCopy(QUILLET_BINARY, path);
    std::filesystem::create_symlink("quillet", folder.File("quillet.exe"));
    // The mux command and the window are modules the program opens from its own folder.
    LinkOrCopy(QUILLET_MUX_MODULE, folder.File("quillet_mux.so"));
#ifdef QUILLET_WINDOW_MODULE
    LinkOrCopy(QUILLET_WINDOW_MODULE, folder.File("quillet_window.so"));
#endif
    return path;
  }();
  return program;
}

std::string UnusedXDisplay() {
  for (int n = 99;; ++n) {
    const std::string number = std::to_string(n);
    if (!std::filesystem::exists("/tmp/.X" + number + "-lock") && !std::filesystem::exists("/tmp/.X11-unix/X" + number))
      return ":" + number;
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quillet::test
