// Shared by the fuzz targets: a scratch folder per process, a message sink that keeps the last message, and a
// check that stops the run with a message when a result breaks its contract.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/message_sink.h"

namespace quillet::fuzz {

// A folder of this process's own, removed when the process ends normally: in /dev/shm when there is one (a
// file rewritten many times a second should never reach a disk), else in the system's temporary folder.
// Readers that only take a path read the fuzzed bytes from a file in it; each input reuses the same names, so a
// long run creates no new files.
class ScratchFolder {
 public:
  static ScratchFolder& Get() {
    static ScratchFolder folder;
    return folder;
  }

  const std::filesystem::path& Path() const { return m_path; }

  // Writes the bytes to `name` inside the folder (replacing what was there) and returns the file's path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string path = (m_path / name).string();
    // A new file each time: ext4 flushes a file that is truncated and written again to disk when it is closed.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("cannot write the scratch file " + path);
    return path;
  }

  [[noreturn]] static void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz support: %s\n", what.c_str());
    std::abort();
  }

 private:
  ScratchFolder() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base = std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0
                                           ? shm
                                           : std::filesystem::temp_directory_path();
    m_path = base / ("quillet-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_path, ec);
    if (ec) Fail("cannot create " + m_path.string() + ": " + ec.message());
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }

  std::filesystem::path m_path;
};

class RecordingSink : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// A broken contract is a finding like a crash: report it and abort, so libFuzzer saves the input.
#define QUILLET_FUZZ_CHECK(condition)                                                    \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

// Takes bytes off the front of the input to choose settings; the rest stays as the text or file under test.
class InputSplitter {
 public:
  InputSplitter(const uint8_t* data, std::size_t size) : m_rest(reinterpret_cast<const char*>(data), size) {}

  uint8_t Byte() {
    if (m_rest.empty()) return 0;
    const auto value = static_cast<uint8_t>(m_rest.front());
    m_rest.remove_prefix(1);
    return value;
  }
  // Up to the next occurrence of `separator` (which is dropped), or everything left.
  std::string_view Until(char separator) {
    const std::size_t at = m_rest.find(separator);
    std::string_view part = m_rest.substr(0, at);
    m_rest.remove_prefix(at == std::string_view::npos ? m_rest.size() : at + 1);
    return part;
  }
  std::string_view Rest() const { return m_rest; }
  bool Empty() const { return m_rest.empty(); }

 private:
  std::string_view m_rest;
};

// Whether the text is the decimal text of a 32-bit integer, as the readers store times.
inline bool IsIntegerText(std::string_view text) {
  if (text.empty()) return false;
  std::size_t i = text.front() == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  try {
    const long long value = std::stoll(std::string(text));
    return value >= INT32_MIN && value <= INT32_MAX;
  } catch (...) {
    return false;
  }
}

inline bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace quillet::fuzz
