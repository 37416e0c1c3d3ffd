// Fuzzes the MicroDVD reader on the bytes of a whole file, and the line parser with a rate of its own.
// A frame rate so small that even the rate line cannot be timed skips that line too, so a skipped line may be line 1.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "fuzz_support.h"
#include "subtitle/microdvd_reader.h"
#include "subtitle/subtitle.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  fuzz::RecordingSink sink;
  TSubtitle document;
  try {
    for (const SkippedEntry& entry : ReadMicroDvd(bytes, "fuzz.sub", document, sink)) {
      QUILLET_FUZZ_CHECK(entry.line >= 1 && !entry.reason.empty());
    }
  } catch (const ConversionError& e) {
    QUILLET_FUZZ_CHECK(std::string_view(e.what()).find("fuzz.sub") != std::string_view::npos);
  }
  // Only the frame-rate message may be shown, and then nothing is read.
  for (const std::string& message : sink.messages) QUILLET_FUZZ_CHECK(message == kFrameRateMessage);
  if (!sink.messages.empty()) QUILLET_FUZZ_CHECK(document.Lines.empty() && !document.Loaded);
  for (const SubtitleLine& line : document.Lines) {
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.StartTime));
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(line.EndTime));
    for (const std::string* text : {&line.Line1, &line.Line2, &line.Line3}) {
      QUILLET_FUZZ_CHECK(!fuzz::HasLineBreak(*text));
      QUILLET_FUZZ_CHECK(text->size() <= size);
    }
  }

  // The line parser with odd rates: tiny, negative, huge. The first byte picks the rate, the rest is the line.
  static constexpr double kRates[] = {23.976, 25.0, 1e-300, -29.97, 1e300, 0.001, 16.0, 60000.0};
  fuzz::InputSplitter input(data, size);
  const double rate = kRates[input.Byte() % std::size(kRates)];
  try {
    const fivestrings entry = ParseMicroDvdLine(input.Rest(), rate);
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(entry.StartTime));
    QUILLET_FUZZ_CHECK(fuzz::IsIntegerText(entry.EndTime));
  } catch (const ConversionError&) {
  }
  try {
    const double fps = ReadFps(input.Rest());
    QUILLET_FUZZ_CHECK(std::isfinite(fps));
  } catch (const ConversionError&) {
  }
  return 0;
}
