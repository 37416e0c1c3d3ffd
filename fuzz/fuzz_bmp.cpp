// Fuzzes BMP reading: decoding, the stretch onto the preview frame, and a round trip through our own writer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bmp_writer.h"
#include "fuzz_support.h"
#include "render/bmp.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<Image24> image = DecodeBmp(bytes);
  if (!image) return 0;
  QUILLET_FUZZ_CHECK(image->Width() > 0 && image->Height() > 0);
  QUILLET_FUZZ_CHECK(image->Bytes().size() == image->RowBytes() * static_cast<std::size_t>(image->Height()));
  // Every pixel stands for at least one bit of the file's pixel data.
  QUILLET_FUZZ_CHECK(static_cast<std::size_t>(image->Width()) * image->Height() <= size * 8);

  const std::optional<Image24> again = DecodeBmp(EncodeBmp(*image));
  QUILLET_FUZZ_CHECK(again && *again == *image);

  // The preview stretches a picture to the frame; a smaller odd size exercises the same arithmetic faster.
  const Image24 stretched = ScaleNearest(*image, 73, 41);
  QUILLET_FUZZ_CHECK(stretched.Width() == 73 && stretched.Height() == 41);
  QUILLET_FUZZ_CHECK(stretched.Pixel(0, 0) == image->Pixel(0, 0));
  return 0;
}
