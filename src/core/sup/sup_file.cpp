// Writing the SUP file packet by packet, with errors raised as FileError naming the file.
#include "sup/sup_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

std::string Describe(const char* action, const std::string& path, int error) {
  return FileErrorText(action, path, error);
}

}  // namespace

SupFileWriter::SupFileWriter(std::string path) : m_path(std::move(path)) {}

SupFileWriter::~SupFileWriter() {
  if (m_file != nullptr) Discard();
}

void SupFileWriter::Open() {
  errno = 0;
  m_file = std::fopen(m_path.c_str(), "wb");
  if (m_file == nullptr) throw FileError(Describe("create", m_path, errno));
  m_created = true;
  std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
}

void SupFileWriter::Write(std::span<const uint8_t> bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) Fail("write", errno);
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
    throw FileError(Describe("write", m_path, flushed ? closeError : flushError));
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

}  // namespace quillet
