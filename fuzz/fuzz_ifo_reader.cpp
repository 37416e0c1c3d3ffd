// Fuzzes the IFO reader on whole files, and checks its result against the fields read straight from the bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "fuzz_support.h"
#include "palette/ifo_reader.h"

using namespace quillet;

namespace {

// The same fields, read the obvious way: nothing when one lies (partly) past the end, or when the file is the
// disc's menu file, which is refused whatever it holds.
std::optional<IfoContents> Expected(const uint8_t* data, std::size_t size) {
  if (std::string_view(reinterpret_cast<const char*>(data), size).rfind(kIfoMenuIdentifier, 0) == 0) {
    return std::nullopt;
  }
  auto field = [&](uint64_t at, int count) -> std::optional<uint32_t> {
    if (at > size || size - at < static_cast<uint64_t>(count)) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | data[at + i];
    return value;
  };
  IfoContents contents;
  const auto sector = field(kIfoPgcitSectorOffset, 4);
  if (!sector) return std::nullopt;
  const uint64_t tableStart = uint64_t{*sector} * kIfoSectorBytes;
  const auto firstPgc = field(tableStart + kIfoFirstPgcOffsetField, 4);
  if (!firstPgc) return std::nullopt;
  for (std::size_t n = 0; n < 16; ++n) {
    const auto entry = field(tableStart + *firstPgc + kIfoPgcPaletteOffset + 4 * n, 4);
    if (!entry) return std::nullopt;
    contents.palette[n] = *entry;
  }
  const auto attributes = field(kIfoVideoAttributesOffset, 2);
  if (!attributes) return std::nullopt;
  contents.videoAttributes = static_cast<uint16_t>(*attributes);
  return contents;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string path =
      fuzz::ScratchFolder::Get().Write("VTS_01_0.IFO", std::string_view(reinterpret_cast<const char*>(data), size));
  const std::optional<IfoContents> expected = Expected(data, size);
  try {
    const IfoContents contents = ReadIfoFile(path);
    QUILLET_FUZZ_CHECK(expected && contents == *expected);
    (void)DetectVideoStandard(contents.videoAttributes);
  } catch (const FileError& e) {
    QUILLET_FUZZ_CHECK(!expected);
    QUILLET_FUZZ_CHECK(std::string_view(e.what()).find(path) != std::string_view::npos);
  }
  return 0;
}
