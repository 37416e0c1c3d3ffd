// Fuzzes format detection: the checks on a file's first lines, and loading a file whose name says .srt, .sub,
// .txt, .vtt or .ass, so the detection decides which reader runs (or that none does).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "fuzz_support.h"
#include "subtitle/ass_reader.h"
#include "subtitle/file_text.h"
#include "subtitle/microdvd_reader.h"
#include "subtitle/srt_reader.h"
#include "subtitle/subtitle.h"
#include "subtitle/webvtt_reader.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static constexpr const char* kNames[] = {"film.srt", "film.SUB", "film.txt", "film.Srt.bak",
                                           "film",     "film.vtt", "film.ASS"};
  fuzz::InputSplitter input(data, size);
  const uint8_t choice = input.Byte();
  const std::string name = kNames[(choice & 0x7F) % std::size(kNames)];
  const bool clearFirst = (choice & 0x80) != 0;
  const std::string_view bytes = input.Rest();

  const std::string text = DecodeSubtitleFile(std::string(bytes)).text;
  const bool srt = LooksLikeSrt(text);
  const bool microDvd = LooksLikeMicroDvd(text);
  // WebVTT and ASS/SSA content is read under any of the subtitle names.
  const bool selfDescribing = LooksLikeWebVtt(text) || LooksLikeAss(text);
  const std::string path = fuzz::ScratchFolder::Get().Write(name, bytes);

  // The file-level checks add only the name's extension to the checks on the file's text.
  const bool srtName = name == "film.srt";
  const bool microDvdName = name == "film.SUB" || name == "film.txt";
  const bool subtitleName = srtName || microDvdName || name == "film.vtt" || name == "film.ASS";
  QUILLET_FUZZ_CHECK(TSubtitle::IsSrtFile(path) == (srtName && srt));
  QUILLET_FUZZ_CHECK(TSubtitle::IsMicroDvdFile(path) == (microDvdName && microDvd));
  const bool read = subtitleName && (selfDescribing || (srtName && srt) || (microDvdName && microDvd));

  // A document that holds an entry already: a file no reader takes leaves it as it was.
  fuzz::RecordingSink sink;
  TSubtitle document;
  document.AddLine("1", "2", "kept", "", "");
  const TSubtitle before = document;
  try {
    document.LoadFromFile(path, clearFirst, sink);
  } catch (const ConversionError&) {
    QUILLET_FUZZ_CHECK(microDvdName && microDvd && !selfDescribing);  // the rate line alone can throw
  }
  if (!read) {
    QUILLET_FUZZ_CHECK(sink.messages.size() == 1 && sink.messages[0] == kUnsupportedFormatMessage);
    QUILLET_FUZZ_CHECK(document.Lines == before.Lines && !document.Loaded);
  } else if (!clearFirst) {
    QUILLET_FUZZ_CHECK(!document.Lines.empty() && document.Lines[0] == before.Lines[0]);
  }

  // Text read in the code page found from it (uchardet, then the conversion to UTF-8): any bytes, no crash.
  SubtitleReadOptions found;
  found.codePage.findFromText = true;
  TSubtitle foundDocument;
  try {
    foundDocument.LoadFromFile(path, true, sink, {}, found);
  } catch (const ConversionError&) {
  }
  return 0;
}
