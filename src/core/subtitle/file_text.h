// The text of a subtitle file: UTF-16 files turned into UTF-8, the byte-order mark of a UTF-8 file dropped.
#pragma once

#include <string>

namespace quillet {

struct SubtitleText {
  std::string text;
  // The file was UTF-16: `text` is UTF-8 and reads as Unicode whatever the charset chosen for drawing.
  bool unicode = false;
};

// A file that starts with a UTF-16 byte-order mark (FF FE little endian, FE FF big endian) becomes UTF-8 text
// without the mark; unpaired surrogates and an odd last byte become U+FFFD. A UTF-8 mark is dropped and the rest
// stays as read; any other file stays as read (8-bit text that the chosen charset decodes).
SubtitleText DecodeSubtitleFile(std::string bytes);

}  // namespace quillet
