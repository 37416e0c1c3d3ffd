// Reads the subpicture colour table and the video standard from a DVD title set information file (.ifo).
#include "palette/ifo_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

// Random access to the file with every read checked against its size. Offsets are 64-bit: the largest
// S * 2048 + P + 0xA4 + 64 from 32-bit fields is below 2^44, so the arithmetic cannot overflow.
class IfoFile {
 public:
  // Only a regular file is opened: a named pipe or a device chosen by mistake is refused at once.
  explicit IfoFile(const std::string& path) : m_path(path), m_fd(OpenRegularFileForReading(path)) {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
      const int error = errno;
      ::close(m_fd);
      throw FileError(FileErrorText("read", path, error));
    }
    m_size = static_cast<uint64_t>(info.st_size);
  }
  ~IfoFile() { ::close(m_fd); }
  IfoFile(const IfoFile&) = delete;
  IfoFile& operator=(const IfoFile&) = delete;

  // Throws unless `count` bytes from `offset` lie inside the file. `pointedBy` names the field whose value gave
  // `offset`; empty for the fixed fields at the file's start.
  void Require(uint64_t offset, uint64_t count, const std::string& pointedBy = {}) const {
    if (offset <= m_size && m_size - offset >= count) return;
    if (pointedBy.empty()) {
      throw FileError("\"" + m_path + "\" is too short to be a DVD title set information file.");
    }
    throw FileError("\"" + m_path + "\" is cut short or is not a DVD title set information file: " + pointedBy +
                    " points to byte " + std::to_string(offset) + ", past the end of the file (" +
                    std::to_string(m_size) + " bytes).");
  }

  uint32_t ReadBigEndian(uint64_t offset, int byteCount, const std::string& pointedBy = {}) {
    const auto count = static_cast<uint64_t>(byteCount);
    Require(offset, count, pointedBy);
    unsigned char bytes[4] = {};
    ssize_t got = 0;
    do {
      got = ::pread(m_fd, bytes, static_cast<std::size_t>(count), static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    if (got < 0) throw FileError(FileErrorText("read", m_path, errno));
    if (static_cast<uint64_t>(got) != count) throw FileError(FileErrorText("read", m_path, 0));
    uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i) value = (value << 8) | bytes[i];
    return value;
  }

  // The first `count` bytes of the file (fewer when it is shorter).
  std::string ReadStart(std::size_t count) {
    std::string bytes(count, '\0');
    ssize_t got = 0;
    do {
      got = ::pread(m_fd, bytes.data(), count, 0);
    } while (got < 0 && errno == EINTR);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
  }

 private:
  std::string m_path;
  int m_fd;
  uint64_t m_size = 0;
};

}  // namespace

IfoContents ReadIfoFile(const std::string& path) {
  IfoFile file(path);
  // The disc's menu file starts like a title set's but holds no title's colours; its fields at the same places
  // mean other things.
  if (file.ReadStart(kIfoMenuIdentifier.size()) == kIfoMenuIdentifier) {
    throw FileError("\"" + path +
                    "\" is the DVD's menu information file (VIDEO_TS.IFO), which holds no subtitle colours: load the "
                    "title set's VTS_xx_0.IFO instead (VTS_01_0.IFO for the first title).");
  }
  IfoContents contents;
  const uint64_t tableStart = uint64_t{file.ReadBigEndian(kIfoPgcitSectorOffset, 4)} * kIfoSectorBytes;
  const uint64_t firstPgc =
      tableStart + file.ReadBigEndian(tableStart + kIfoFirstPgcOffsetField, 4, "its program chain table's sector");
  file.Require(firstPgc + kIfoPgcPaletteOffset, 4 * contents.palette.size(), "its first program chain's offset");
  for (std::size_t n = 0; n < contents.palette.size(); ++n) {
    contents.palette[n] = file.ReadBigEndian(firstPgc + kIfoPgcPaletteOffset + 4 * n, 4);
  }
  contents.videoAttributes = static_cast<uint16_t>(file.ReadBigEndian(kIfoVideoAttributesOffset, 2));
  return contents;
}

VideoStandard DetectVideoStandard(uint16_t videoAttributes) {
  return (videoAttributes & 0x1000u) != 0 ? VideoStandard::Pal : VideoStandard::Ntsc;
}

DisplayAspect DetectDisplayAspect(uint16_t videoAttributes) {
  return (videoAttributes & 0x0C00u) == 0x0C00u ? DisplayAspect::Wide16x9 : DisplayAspect::Standard4x3;
}

}  // namespace quillet
