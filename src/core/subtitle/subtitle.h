// The subtitle document: an ordered list of timed entries, format detection, and loading a file into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_characters.h"
#include "subtitle/file_text.h"
#include "subtitle/skipped_entries.h"
#include "subtitle/subtitle_line.h"

namespace quillet {

class MessageSink;

inline constexpr std::string_view kUnsupportedFormatMessage = "Unsupported Subtitle Format !";

// The largest subtitle file read: a two-hour film's is well under a megabyte, and a file of gigabytes would take as
// much memory again before it could be refused for anything else (FileTooLargeError).
constexpr uint64_t kMaxSubtitleFileBytes = uint64_t{256} << 20;

// How a load reads what a file leaves open.
struct SubtitleReadOptions {
  // The frame rate of a MicroDVD file whose first line declares none; 0 refuses such a file.
  double microDvdFps = 0.0;
  // What such a file is refused with; empty: the frame-rate message of the window (kFrameRateMessage).
  std::string missingFpsMessage;
  // How text without a byte-order mark is read.
  CodePageChoice codePage;
};

// A name ending in an extension the readers know (.srt, .sub, .txt, .vtt, .ass, .ssa; any letter case).
bool HasSubtitleExtension(const std::string& fileName);

class TSubtitle {
 public:
  // Entries in file order: no sorting or merging; overlapping, duplicate and zero-length entries all stay.
  std::vector<SubtitleLine> Lines;
  // True when the last LoadFromFile recognised the file and read at least one line of it.
  bool Loaded = false;
  // The text is UTF-8 (read from a UTF-16 file, a WebVTT file, or an ASS/SSA file whose bytes are UTF-8): it
  // reads as Unicode whatever the charset chosen for drawing. Otherwise it is 8-bit text as read, which the
  // chosen charset decodes.
  bool UnicodeText = false;
  // The entry (1-based) that is a MicroDVD file's frame-rate line ("{1}{1}25.000"), 0 when none: it is kept as an
  // entry like any line of the file, but it is no subtitle, so a run never writes it.
  int FrameRateEntry = 0;
  // How the last load read the text when otherwise than the chosen charset says ("read as Shift-JIS (found from
  // the text; ...)", see ChooseTextReading); empty otherwise. It goes to no sink: the caller tells it where nobody
  // has to answer it in an unattended run.
  std::string ReadingNotice;

  // Reads the file (UTF-16 becomes UTF-8, see DecodeSubtitleFile), detects the format and runs its reader,
  // after emptying the document when `clearFirst` is set. The formats: SubRip (*.srt), MicroDVD (*.sub, *.txt),
  // WebVTT (*.vtt) and ASS/SSA (*.ass, *.ssa), each by its extension and its content; a file with any of these
  // extensions whose content is WebVTT or ASS/SSA is read as such (a WebVTT file saved as .srt, say). Markup and
  // line breaks are found between the characters of the code page the text will be drawn in (`characters`; a
  // UTF-16 file, a WebVTT file and a UTF-8 ASS/SSA file are read as UTF-8). `options` say how to read what a
  // file leaves open.
  // A file that is missing, not a regular file, has another extension or fails the detections: the message
  // "Unsupported Subtitle Format !" goes to `sink` and the document stays as it was. Text without a byte-order
  // mark is read as options.codePage says (ReadingNotice). The MicroDVD reader's
  // frame-rate message also goes to `sink`, and so does one notice listing the entries a reader skipped.
  // Throws ConversionError (a MicroDVD frame rate that does not convert; the message names the file and the
  // line) and FileError (the file cannot be opened or read, or holds more than kMaxSubtitleFileBytes). Entries read
  // before the error stay, and `Loaded` keeps the value it had.
  void LoadFromFile(const std::string& fileName, bool clearFirst, MessageSink& sink,
                    const TextCharacters& characters = {}, const SubtitleReadOptions& options = {});
  // Reads the text of the last file loaded again with another code page's characters or code page choice, when
  // that changes where markup and line breaks lie (a switch between a two-byte code page and any other) or what
  // the text is (a code page found from the text, or not): entries keep their times and order, their lines are
  // split anew. Says nothing (its notices were shown at the load). True when the lines were read again.
  bool ReadAgain(const TextCharacters& characters, const CodePageChoice& codePage = {});

  // A regular file named *.srt (any letter case) with a time line among its first ten lines that are not blank.
  // Throws FileError when the file exists but cannot be read.
  static bool IsSrtFile(const std::string& fileName);
  // A regular file named *.sub or *.txt (any letter case) whose first line starts with "{".
  // Throws FileError when the file exists but cannot be read.
  static bool IsMicroDvdFile(const std::string& fileName);

  // The text without the style tags people write: <i> <b> <u> <s> <font ...> and their closing forms, in any
  // letter case, with or without attributes, every occurrence. Other text, MicroDVD codes such as {y:i}
  // included, stays.
  static std::string RemoveTags(std::string_view text, const TextCharacters& characters = {});

  void AddLine(std::string start, std::string end, std::string line1, std::string line2, std::string line3,
               EntryStyle style = {});
  void Clear() {
    Lines.clear();
    FrameRateEntry = 0;
  }
  // A copy of entry `index`, counted from 1 (1..Count()). Throws std::out_of_range outside that range.
  SubtitleLine GetLine(int index) const;
  int Count() const { return static_cast<int>(Lines.size()); }

  bool operator==(const TSubtitle& other) const {
    return Lines == other.Lines && Loaded == other.Loaded && UnicodeText == other.UnicodeText;
  }

 private:
  // What the last load read, for ReadAgain: the file's text (before a code page found from it is applied) and
  // name, which reader took it, and with which characters.
  SubtitleText m_fileText;
  bool m_converted = false;  // the readers got the text in a code page found from it, as UTF-8
  std::string m_fileName;
  enum class Format { kNone, kSrt, kMicroDvd, kWebVtt, kAss } m_format = Format::kNone;
  static Format DetectFormat(const std::string& fileName, std::string_view text);
  // Runs the format's reader on `text`, appending to the document.
  std::vector<SkippedEntry> Read(Format format, std::string_view text, const std::string& fileName, MessageSink& sink,
                                 const TextCharacters& characters);
  // Whether text read as `reading` says is Unicode in `format`.
  static bool IsUnicodeText(Format format, const TextReading& reading, std::string_view text);
  TextCharacters m_characters;
  SubtitleReadOptions m_options;
};

}  // namespace quillet
