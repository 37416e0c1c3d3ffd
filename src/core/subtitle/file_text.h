// The text of a subtitle file: UTF-16 files turned into UTF-8, the byte-order mark of a UTF-8 file dropped.
#pragma once

#include <optional>
#include <string>

namespace quillet {

struct SubtitleText {
  std::string text;
  // The file starts with a byte-order mark: `text` is UTF-8 and reads as Unicode whatever the charset chosen for
  // drawing.
  bool unicode = false;
};

// A file that starts with a UTF-16 byte-order mark (FF FE little endian, FE FF big endian) becomes UTF-8 text
// without the mark; unpaired surrogates and an odd last byte become U+FFFD. A UTF-8 mark is dropped and the rest is
// UTF-8 text; any other file stays as read (8-bit text that the chosen charset decodes). The only place a mark is
// looked for: the readers get the text after it.
SubtitleText DecodeSubtitleFile(std::string bytes);

// How a load reads text the file does not say the code set of (no byte-order mark).
struct CodePageChoice {
  // Text that is not valid UTF-8 is read in the code page found from it (the charset chosen is DEFAULT and the
  // user's own code set is UTF-8). When none is found it is left to drawing, which reads such lines as
  // Windows-1252.
  bool findFromText = false;
  // The list name of the charset chosen ("RUSSIAN"); empty for DEFAULT. A byte-order mark overrides it.
  std::string chosenCharset;
  // How the person chooses the code page, for the notices.
  std::string howToChoose = "choose a charset to read it otherwise";
  bool operator==(const CodePageChoice&) const = default;
};

// The text a load reads, decided once per file: the one place the code page of a file is chosen.
struct TextReading {
  std::optional<std::string> converted;  // the text as UTF-8 when it was read in a code page found from it
  bool unicode = false;                  // the text read is UTF-8 whatever the charset chosen for drawing
  // Said once after the load when the text is read otherwise than the chosen charset says: "read as Shift-JIS
  // (found from the text; ...)", "read as Windows-1252 (...)", "read as UTF-8 (the file starts with ...)".
  std::string notice;
};
TextReading ChooseTextReading(const SubtitleText& file, const CodePageChoice& choice);

}  // namespace quillet
