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

// Appends the drawn lines of one SubRip text line to `lines`: style tags removed (TSubtitle::RemoveTags), blocks
// in braces removed whatever they hold ("{\an8}", "{y:i}", "{note}": players hide them as ASS override blocks;
// an unclosed "{" stays text), "\h" turned into a space, and the text broken at "\N" and "\n". Pieces left
// empty are not appended, so a line of markup only adds nothing. Text after an override "\p1" (and up) is a
// vector drawing, not text: it is dropped up to a "\p0".
void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters = {});

// The same for the text of an ASS/SSA event, which has no style tags of its own: "<i>" there is text.
void AppendAssTextLines(std::string_view text, DrawnLines& lines, const TextCharacters& characters = {});

// One MicroDVD text line (a part between "|") without the codes at its start, as ffmpeg's reader takes them:
// control codes "{", one of the letters y Y c C f F s S h H o O p P, ":", a value, "}" ({y:i}, {C:$0000ff},
// {P:1}), and the "/" that makes a line italic ("/{y:b}", "{y:b}/", "//"), up to a "/" that follows a code.
// Codes later in the line, and other braces, stay text.
std::string RemoveMicroDvdCodes(std::string_view text, const TextCharacters& characters = {});

}  // namespace quillet
