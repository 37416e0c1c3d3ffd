// Fuzzes the SubRip reader on the bytes of a whole file, and the time conversion on its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "fuzz_support.h"
#include "subtitle/srt_reader.h"
#include "subtitle/subtitle.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The conversion alone, on the first twelve bytes.
  try {
    const std::string ms = SrtTimeToMs(bytes.substr(0, 12));
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(ms));
  } catch (const ConversionError&) {
  }

  (void)LooksLikeSrt(bytes);

  TSubtitle document;
  const std::vector<SkippedEntry> skipped = ReadSrt(bytes, document);
  // Some line was read exactly when there are bytes (the byte-order mark is taken off before the reader).
  QUILLET_FUZZ_CHECK(document.Loaded == !bytes.empty());
  // Every skipped entry names a line of the file, in file order.
  int previous = 0;
  for (const SkippedEntry& entry : skipped) {
    QUILLET_FUZZ_CHECK(entry.line > previous && !entry.reason.empty());
    previous = entry.line;
  }
  for (const SubtitleLine& line : document.Lines) {
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.StartTime));
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.EndTime));
    for (const std::string* text : {&line.Line1, &line.Line2, &line.Line3}) {
      QUILLET_FUZZ_CHECK(!fuzz::HasLineBreak(*text));
      QUILLET_FUZZ_CHECK(text->size() <= size);
    }
  }
  return 0;
}
