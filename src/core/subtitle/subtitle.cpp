// The subtitle document: format detection by extension and first lines, and dispatch to the two readers.
#include "subtitle/subtitle.h"

#include <filesystem>

#include "base/ascii_text.h"
#include "base/message_sink.h"
#include "base/whole_file.h"
#include "subtitle/file_text.h"
#include "subtitle/microdvd_reader.h"
#include "subtitle/srt_reader.h"

namespace quillet {
namespace {

// Only regular files count as present: a folder is not a subtitle, and a FIFO or a device could block or never
// end when read.
bool IsPresentFile(const std::string& fileName) {
  std::error_code ec;
  return std::filesystem::is_regular_file(fileName, ec);
}

bool HasSrtExtension(const std::string& fileName) { return EndsWithIgnoringAsciiCase(fileName, ".srt"); }

bool HasMicroDvdExtension(const std::string& fileName) {
  return EndsWithIgnoringAsciiCase(fileName, ".sub") || EndsWithIgnoringAsciiCase(fileName, ".txt");
}

}  // namespace

void TSubtitle::LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink) {
  Loaded = false;
  const bool srtName = HasSrtExtension(fileName);
  const bool microDvdName = HasMicroDvdExtension(fileName);
  if (IsPresentFile(fileName) && (srtName || microDvdName)) {
    // One read serves detection and reading.
    const SubtitleText file = DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes));
    std::vector<SkippedEntry> skipped;
    if (srtName && LooksLikeSrt(file.text)) {
      if (clearFirst) Clear();
      UnicodeText = file.unicode;
      skipped = ReadSrt(file.text, *this);
    } else if (microDvdName && LooksLikeMicroDvd(file.text)) {
      if (clearFirst) Clear();
      UnicodeText = file.unicode;
      skipped = ReadMicroDvd(file.text, fileName, *this, sink);
    } else {
      sink.ShowMessage(std::string(kUnsupportedFormatMessage));
      return;
    }
    if (!skipped.empty()) sink.ShowMessage(SkippedEntriesNotice(fileName, skipped));
    return;
  }
  sink.ShowMessage(std::string(kUnsupportedFormatMessage));
}

bool TSubtitle::IsSrtFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasSrtExtension(fileName) &&
         LooksLikeSrt(DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes)).text);
}

bool TSubtitle::IsMicroDvdFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasMicroDvdExtension(fileName) &&
         LooksLikeMicroDvd(DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes)).text);
}

void TSubtitle::AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3) {
  Lines.push_back(SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3)});
}

SubtitleLine TSubtitle::GetLine(int index) const { return Lines.at(static_cast<std::size_t>(index - 1)); }

}  // namespace quillet
