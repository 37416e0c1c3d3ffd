// Markup that subtitle files carry inside their text and that is never drawn: ASS override blocks and line
// breaks in SubRip text, MicroDVD control codes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/text_characters.h"

namespace quillet {

// The first three drawn lines of an entry; further ones are dropped.
struct DrawnLines {
  std::string lines[3];
  std::size_t count = 0;

  bool Full() const { return count == 3; }
  void Add(std::string&& line) {
    if (count < 3) lines[count++] = std::move(line);
  }
};

// Every function here finds its markup between the characters of the text's code page (`characters`), never
// inside a two-byte character.

// Appends the drawn lines of one SubRip text line to `lines`: style tags removed (TSubtitle::RemoveTags), ASS
// override blocks "{\...}" removed (an unclosed "{\" stays text), "\h" turned into a space, and the text broken
// at "\N" and "\n". Pieces left empty are not appended, so a line of markup only adds nothing.
void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters = {});

// The text without MicroDVD control codes: "{", one of the letters y Y c C f F s S h H o O p P, ":", a value,
// "}" ({y:i}, {C:$0000ff}, {P:1}). Other braces stay text.
std::string RemoveMicroDvdCodes(std::string_view text, const TextCharacters& characters = {});

}  // namespace quillet
