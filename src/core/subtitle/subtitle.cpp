// The subtitle document: format detection by extension and first lines, and dispatch to the readers.
#include "subtitle/subtitle.h"

#include <filesystem>

#include "base/ascii_text.h"
#include "base/message_sink.h"
#include "base/utf8_text.h"
#include "base/whole_file.h"
#include "subtitle/file_text.h"
#include "subtitle/ass_reader.h"
#include "subtitle/microdvd_reader.h"
#include "subtitle/srt_reader.h"
#include "subtitle/webvtt_reader.h"

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

bool HasWebVttExtension(const std::string& fileName) { return EndsWithIgnoringAsciiCase(fileName, ".vtt"); }

bool HasAssExtension(const std::string& fileName) {
  return EndsWithIgnoringAsciiCase(fileName, ".ass") || EndsWithIgnoringAsciiCase(fileName, ".ssa");
}

bool HasSubtitleExtension(const std::string& fileName) {
  return HasSrtExtension(fileName) || HasMicroDvdExtension(fileName) || HasWebVttExtension(fileName) ||
         HasAssExtension(fileName);
}

enum class Format { None, SubRip, MicroDvd, WebVtt, Ass };

// WebVTT and ASS/SSA say what they are on their first line, so their content decides among all the subtitle
// extensions; SubRip and MicroDVD need their own extensions.
Format DetectFormat(const std::string& fileName, std::string_view text) {
  if (!HasSubtitleExtension(fileName)) return Format::None;
  if (LooksLikeWebVtt(text)) return Format::WebVtt;
  if (LooksLikeAss(text)) return Format::Ass;
  if (HasSrtExtension(fileName) && LooksLikeSrt(text)) return Format::SubRip;
  if (HasMicroDvdExtension(fileName) && LooksLikeMicroDvd(text)) return Format::MicroDvd;
  return Format::None;
}

}  // namespace

void TSubtitle::LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink,
                             const SubtitleReadOptions& options) {
  Loaded = false;
  if (!IsPresentFile(fileName) || !HasSubtitleExtension(fileName)) {
    sink.ShowMessage(std::string(kUnsupportedFormatMessage));
    return;
  }
  // One read serves detection and reading.
  const SubtitleText file = DecodeSubtitleFile(ReadWholeFile(fileName));
  const Format format = DetectFormat(fileName, file.text);
  if (format == Format::None) {
    sink.ShowMessage(std::string(kUnsupportedFormatMessage));
    return;
  }
  if (clearFirst) Clear();
  UnicodeText = file.unicode;
  std::vector<SkippedEntry> skipped;
  switch (format) {
    case Format::SubRip:
      skipped = ReadSrt(file.text, *this);
      break;
    case Format::MicroDvd:
      skipped = ReadMicroDvd(file.text, fileName, *this, sink, {options.microDvdFps, options.missingFpsMessage});
      break;
    case Format::WebVtt:
      UnicodeText = true;  // WebVTT is UTF-8 whatever the charset
      skipped = ReadWebVtt(file.text, *this);
      break;
    case Format::Ass:
      // UTF-8 when the bytes are; otherwise the charset chosen for drawing reads them.
      UnicodeText = file.unicode || IsValidUtf8(file.text);
      skipped = ReadAss(file.text, *this);
      break;
    case Format::None:
      break;
  }
  if (!skipped.empty()) sink.ShowMessage(SkippedEntriesNotice(fileName, skipped));
}

bool TSubtitle::IsSrtFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasSrtExtension(fileName) &&
         LooksLikeSrt(DecodeSubtitleFile(ReadWholeFile(fileName)).text);
}

bool TSubtitle::IsMicroDvdFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasMicroDvdExtension(fileName) &&
         LooksLikeMicroDvd(DecodeSubtitleFile(ReadWholeFile(fileName)).text);
}

void TSubtitle::AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3) {
  Lines.push_back(SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3)});
}

SubtitleLine TSubtitle::GetLine(int index) const { return Lines.at(static_cast<std::size_t>(index - 1)); }

}  // namespace quillet
