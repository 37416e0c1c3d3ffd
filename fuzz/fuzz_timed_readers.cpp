// Fuzzes the WebVTT and ASS/SSA readers on the bytes of a whole file: the first byte picks the reader (and, for
// ASS, whether markup is found between Shift-JIS characters).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "subtitle/ass_reader.h"
#include "subtitle/subtitle.h"
#include "subtitle/webvtt_reader.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::InputSplitter input(data, size);
  const uint8_t choice = input.Byte();
  const std::string_view bytes = input.Rest();

  TSubtitle document;
  std::vector<SkippedEntry> skipped;
  if (choice & 1) {
    (void)LooksLikeWebVtt(bytes);
    skipped = ReadWebVtt(bytes, document);
  } else {
    (void)LooksLikeAss(bytes);
    static const TextCharacters sjis{std::string("CP932")};
    skipped = ReadAss(bytes, document, (choice & 2) ? sjis : TextCharacters());
  }
  // Skipped entries name lines of the file in order; entries come in order of their start, and every one is
  // shown at some time after 0.
  int previous = 0;
  for (const SkippedEntry& entry : skipped) {
    QUILLET_FUZZ_CHECK(entry.line >= previous && entry.line > 0 && !entry.reason.empty());
    previous = entry.line;
  }
  long long previousStart = INT64_MIN;
  for (const SubtitleLine& line : document.Lines) {
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.StartTime));
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.EndTime));
    const long long start = std::stoll(line.StartTime);
    QUILLET_FUZZ_CHECK(start >= previousStart && std::stoll(line.EndTime) > 0);
    previousStart = start;
    for (const std::string* text : {&line.Line1, &line.Line2, &line.Line3}) {
      QUILLET_FUZZ_CHECK(!fuzz::HasLineBreak(*text));
      QUILLET_FUZZ_CHECK(text->size() <= size * 3);  // an entity of five bytes becomes up to three
    }
  }
  return 0;
}
