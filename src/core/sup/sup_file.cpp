// Writing the SUP file and the instruction file, with errors raised as FileError naming the file.
#include "sup/sup_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/errors.h"

namespace quillet {
namespace {

std::string Describe(const char* what, const std::string& path, int error) {
  std::string message = std::string(what) + " \"" + path + "\"";
  if (error != 0) message += ": " + std::string(std::strerror(error));
  return message + ".";
}

}  // namespace

SupFileWriter::SupFileWriter(std::string path) : m_path(std::move(path)) {}

SupFileWriter::~SupFileWriter() {
  if (m_file != nullptr) Discard();
}

void SupFileWriter::Open() {
  errno = 0;
  m_file = std::fopen(m_path.c_str(), "wb");
  if (m_file == nullptr) throw FileError(Describe("Cannot create the file", m_path, errno));
  m_created = true;
  std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
}

void SupFileWriter::Write(std::span<const uint8_t> bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) Fail("Cannot write to the file", errno);
}

void SupFileWriter::Close() {
  if (m_file == nullptr) return;
  errno = 0;
  const bool flushed = std::fflush(m_file) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(m_file) == 0;
  const int closeError = errno;
  m_file = nullptr;
  if (!flushed || !closed) {
    std::remove(m_path.c_str());
    m_created = false;
    throw FileError(Describe("Cannot write to the file", m_path, flushed ? closeError : flushError));
  }
}

void SupFileWriter::Discard() noexcept {
  if (m_file != nullptr) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  if (m_created) std::remove(m_path.c_str());
  m_created = false;
}

void SupFileWriter::Fail(const char* what, int error) {
  Discard();
  throw FileError(Describe(what, m_path, error));
}

void WriteTextFile(const std::string& path, std::string_view text) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw FileError(Describe("Cannot create the file", path, errno));
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  int error = errno;
  const bool flushed = std::fflush(file) == 0;
  if (error == 0) error = errno;
  const bool closed = std::fclose(file) == 0;
  if (error == 0) error = errno;
  if (!written || !flushed || !closed) {
    std::remove(path.c_str());
    throw FileError(Describe("Cannot write to the file", path, error));
  }
}

}  // namespace quillet
