// The subtitle document: format detection by extension and first lines, and dispatch to the readers.
#include "subtitle/subtitle.h"

#include <filesystem>

#include "base/ascii_text.h"
#include "base/message_sink.h"
#include "base/utf8_text.h"
#include "base/whole_file.h"
#include "subtitle/ass_reader.h"
#include "subtitle/file_text.h"
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

class SilentSink : public MessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

}  // namespace

bool HasSubtitleExtension(const std::string& fileName) {
  return HasSrtExtension(fileName) || HasMicroDvdExtension(fileName) || HasWebVttExtension(fileName) ||
         HasAssExtension(fileName);
}

// WebVTT and ASS/SSA say what they are on their first line, so their content decides among all the subtitle
// extensions; SubRip and MicroDVD need their own extensions.
TSubtitle::Format TSubtitle::DetectFormat(const std::string& fileName, std::string_view text) {
  if (LooksLikeWebVtt(text)) return Format::kWebVtt;
  if (LooksLikeAss(text)) return Format::kAss;
  if (HasSrtExtension(fileName) && LooksLikeSrt(text)) return Format::kSrt;
  if (HasMicroDvdExtension(fileName) && LooksLikeMicroDvd(text)) return Format::kMicroDvd;
  return Format::kNone;
}

std::vector<SkippedEntry> TSubtitle::Read(Format format, std::string_view text, const std::string& fileName,
                                          MessageSink& sink, const TextCharacters& characters) {
  switch (format) {
    case Format::kSrt:
      return ReadSrt(text, *this, characters);
    case Format::kMicroDvd:
      return ReadMicroDvd(text, fileName, *this, sink, characters,
                          {m_options.microDvdFps, m_options.missingFpsMessage});
    case Format::kWebVtt:
      return ReadWebVtt(text, *this);
    case Format::kAss:
      return ReadAss(text, *this, characters);
    case Format::kNone:
      break;
  }
  return {};
}

void TSubtitle::LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink,
                             const TextCharacters& characters, const SubtitleReadOptions& options) {
  Loaded = false;
  ReadingNotice.clear();
  if (!IsPresentFile(fileName) || !HasSubtitleExtension(fileName)) {
    sink.ShowMessage(std::string(kUnsupportedFormatMessage));
    return;
  }
  // One read serves detection and reading.
  SubtitleText file = DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes));
  const TextReading reading = ChooseTextReading(file, options.codePage);
  const std::string_view text = reading.converted ? *reading.converted : file.text;
  const Format format = DetectFormat(fileName, text);
  if (format == Format::kNone) {
    sink.ShowMessage(std::string(kUnsupportedFormatMessage));
    return;
  }
  if (clearFirst) Clear();
  UnicodeText = IsUnicodeText(format, reading, text);
  const TextCharacters fileCharacters = UnicodeText ? TextCharacters() : characters;
  m_format = Format::kNone;  // until the reader is through: a load that throws cannot be read again
  m_options = options;
  const std::vector<SkippedEntry> skipped = Read(format, text, fileName, sink, fileCharacters);
  m_fileText = std::move(file);
  m_converted = reading.converted.has_value();
  m_fileName = fileName;
  m_format = clearFirst ? format : Format::kNone;  // a document read from several files cannot be read again
  m_characters = characters;
  ReadingNotice = reading.notice;
  if (!skipped.empty()) sink.ShowMessage(SkippedEntriesNotice(fileName, skipped));
}

// Text read from UTF-16 or in a code page found from it is UTF-8, and so is WebVTT always and ASS/SSA whose bytes
// are: UTF-8 characters never hold an ASCII byte, and the text reads as Unicode whatever the charset chosen for
// drawing.
bool TSubtitle::IsUnicodeText(Format format, const TextReading& reading, std::string_view text) {
  return reading.unicode || format == Format::kWebVtt || (format == Format::kAss && IsValidUtf8(text));
}

bool TSubtitle::IsSrtFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasSrtExtension(fileName) &&
         LooksLikeSrt(DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes)).text);
}

bool TSubtitle::IsMicroDvdFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasMicroDvdExtension(fileName) &&
         LooksLikeMicroDvd(DecodeSubtitleFile(ReadWholeFile(fileName, kMaxSubtitleFileBytes)).text);
}

bool TSubtitle::ReadAgain(const TextCharacters& characters, const CodePageChoice& codePage) {
  if (m_format == Format::kNone || (characters == m_characters && codePage == m_options.codePage)) return false;
  const TextReading reading = ChooseTextReading(m_fileText, codePage);
  const std::string_view text = reading.converted ? *reading.converted : m_fileText.text;
  const bool unicode = IsUnicodeText(m_format, reading, text);
  const bool sameText =
      unicode == UnicodeText && reading.converted.has_value() == m_converted && (unicode || characters == m_characters);
  m_characters = characters;
  m_options.codePage = codePage;
  if (sameText) return false;
  UnicodeText = unicode;
  m_converted = reading.converted.has_value();
  const bool loaded = Loaded;
  Clear();
  SilentSink silent;
  Read(m_format, text, m_fileName, silent, unicode ? TextCharacters() : characters);
  Loaded = loaded;
  return true;
}

void TSubtitle::AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3,
                        EntryStyle style) {
  Lines.push_back(SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3),
                               std::move(style)});
}

SubtitleLine TSubtitle::GetLine(int index) const { return Lines.at(static_cast<std::size_t>(index - 1)); }

}  // namespace quillet
