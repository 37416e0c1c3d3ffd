// The subtitle document: format detection by extension and first lines, and dispatch to the two readers.
#include "subtitle/subtitle.h"

#include <filesystem>

#include "base/ascii_text.h"
#include "base/message_sink.h"
#include "base/whole_file.h"
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

// The extension (the last "." and what follows, within the last path component), upper-cased.
std::string UpperExtension(const std::string& fileName) {
  std::size_t dot = fileName.rfind('.');
  std::size_t slash = fileName.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return {};
  return AsciiUpper(std::string_view(fileName).substr(dot));
}

bool HasMicroDvdExtension(const std::string& ext) { return ext == ".SUB" || ext == ".TXT"; }

}  // namespace

void TSubtitle::LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink) {
  Loaded = false;
  const std::string ext = UpperExtension(fileName);
  if (IsPresentFile(fileName) && (ext == ".SRT" || HasMicroDvdExtension(ext))) {
    // One read serves detection and reading.
    const std::string bytes = ReadWholeFile(fileName);
    if (ext == ".SRT" && LooksLikeSrt(bytes)) {
      if (clearFirst) Clear();
      ReadSrt(bytes, fileName, *this);
      return;
    }
    if (HasMicroDvdExtension(ext) && LooksLikeMicroDvd(bytes)) {
      if (clearFirst) Clear();
      ReadMicroDvd(bytes, fileName, *this, sink);
      return;
    }
  }
  sink.ShowMessage(std::string(kUnsupportedFormatMessage));
}

bool TSubtitle::IsSrtFile(const std::string& fileName) {
  return IsPresentFile(fileName) && UpperExtension(fileName) == ".SRT" && LooksLikeSrt(ReadWholeFile(fileName));
}

bool TSubtitle::IsMicroDvdFile(const std::string& fileName) {
  return IsPresentFile(fileName) && HasMicroDvdExtension(UpperExtension(fileName)) &&
         LooksLikeMicroDvd(ReadWholeFile(fileName));
}

void TSubtitle::AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3) {
  Lines.push_back(SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3)});
}

SubtitleLine TSubtitle::GetLine(int index) const { return Lines.at(static_cast<std::size_t>(index - 1)); }

}  // namespace quillet
