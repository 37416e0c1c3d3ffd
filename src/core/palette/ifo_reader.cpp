// Reads the subpicture colour table and the video standard from a DVD title set information file (.ifo).
#include "palette/ifo_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

// Random access to the file with every read checked against its size. Offsets are 64-bit: the largest
// S * 2048 + P + 0xA4 + 64 from 32-bit fields is below 2^44, so the arithmetic cannot overflow.
class IfoFile {
 public:
  explicit IfoFile(const std::string& path) : m_path(path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      throw FileError(FileErrorText("open", path, EISDIR));
    }
    m_in.open(path, std::ios::binary);
    if (!m_in) throw FileError(FileErrorText("open", path, errno));
    m_in.seekg(0, std::ios::end);
    const std::streamoff end = m_in.tellg();
    if (!m_in || end < 0) throw FileError(FileErrorText("read", path, 0));
    m_size = static_cast<uint64_t>(end);
  }

  uint32_t ReadBigEndian(uint64_t offset, int byteCount) {
    const auto count = static_cast<uint64_t>(byteCount);
    if (offset > m_size || m_size - offset < count) {
      throw FileError("\"" + m_path + "\" is too short to be a DVD title set information file.");
    }
    unsigned char bytes[4] = {};
    m_in.seekg(static_cast<std::streamoff>(offset));
    m_in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
    if (!m_in) throw FileError(FileErrorText("read", m_path, 0));
    uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i) value = (value << 8) | bytes[i];
    return value;
  }

 private:
  std::string m_path;
  std::ifstream m_in;
  uint64_t m_size = 0;
};

}  // namespace

IfoContents ReadIfoFile(const std::string& path) {
  IfoFile file(path);
  IfoContents contents;
  const uint64_t tableStart = uint64_t{file.ReadBigEndian(kIfoPgcitSectorOffset, 4)} * kIfoSectorBytes;
  const uint64_t firstPgc = tableStart + file.ReadBigEndian(tableStart + kIfoFirstPgcOffsetField, 4);
  for (std::size_t n = 0; n < contents.palette.size(); ++n) {
    contents.palette[n] = file.ReadBigEndian(firstPgc + kIfoPgcPaletteOffset + 4 * n, 4);
  }
  contents.videoAttributes = static_cast<uint16_t>(file.ReadBigEndian(kIfoVideoAttributesOffset, 2));
  return contents;
}

VideoStandard DetectVideoStandard(uint16_t videoAttributes) {
  return (videoAttributes & 0x1000u) != 0 ? VideoStandard::Pal : VideoStandard::Ntsc;
}

}  // namespace quillet
