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

class SilentSink : public MessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

}  // namespace

void TSubtitle::LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink,
                             const TextCharacters& characters) {
  Loaded = false;
  const bool srtName = HasSrtExtension(fileName);
  const bool microDvdName = HasMicroDvdExtension(fileName);
  if (IsPresentFile(fileName) && (srtName || microDvdName)) {
    // One read serves detection and reading.
    SubtitleText file = DecodeSubtitleFile(ReadWholeFile(fileName));
    // Text read from UTF-16 is UTF-8, whose characters never hold an ASCII byte.
    const TextCharacters fileCharacters = file.unicode ? TextCharacters() : characters;
    std::vector<SkippedEntry> skipped;
    Format format = Format::kNone;
    if (srtName && LooksLikeSrt(file.text)) {
      format = Format::kSrt;
    } else if (microDvdName && LooksLikeMicroDvd(file.text)) {
      format = Format::kMicroDvd;
    } else {
      sink.ShowMessage(std::string(kUnsupportedFormatMessage));
      return;
    }
    if (clearFirst) Clear();
    UnicodeText = file.unicode;
    m_format = Format::kNone;  // until the reader is through: a load that throws cannot be read again
    skipped = format == Format::kSrt ? ReadSrt(file.text, *this, fileCharacters)
                                     : ReadMicroDvd(file.text, fileName, *this, sink, fileCharacters);
    m_fileText = std::move(file.text);
    m_fileName = fileName;
    m_format = clearFirst ? format : Format::kNone;  // a document read from several files cannot be read again
    m_characters = characters;
    if (!skipped.empty()) sink.ShowMessage(SkippedEntriesNotice(fileName, skipped));
    return;
  }
  sink.ShowMessage(std::string(kUnsupportedFormatMessage));
}

bool TSubtitle::IsSrtFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasSrtExtension(fileName) &&
         LooksLikeSrt(DecodeSubtitleFile(ReadWholeFile(fileName)).text);
}

bool TSubtitle::IsMicroDvdFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasMicroDvdExtension(fileName) &&
         LooksLikeMicroDvd(DecodeSubtitleFile(ReadWholeFile(fileName)).text);
}

bool TSubtitle::ReadAgain(const TextCharacters& characters) {
  if (m_format == Format::kNone || characters == m_characters) return false;
  m_characters = characters;
  if (UnicodeText) return false;
  const bool loaded = Loaded;
  Clear();
  SilentSink silent;
  if (m_format == Format::kSrt) {
    ReadSrt(m_fileText, *this, characters);
  } else {
    ReadMicroDvd(m_fileText, m_fileName, *this, silent, characters);
  }
  Loaded = loaded;
  return true;
}

void TSubtitle::AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3) {
  Lines.push_back(SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3)});
}

SubtitleLine TSubtitle::GetLine(int index) const { return Lines.at(static_cast<std::size_t>(index - 1)); }

}  // namespace quillet
