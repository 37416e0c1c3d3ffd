// Markup that subtitle files carry inside their text and that is never drawn: ASS override blocks and line
// breaks in SubRip text, MicroDVD control codes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/text_characters.h"
#include "base/text_style.h"

namespace quillet {

// The first three drawn lines of an entry, further ones dropped, and what the markup said beyond the letters.
struct DrawnLines {
  std::string lines[3];
  EntryStyle style;  // the runs of lines[0..2], the placement, colours or positions asked for
  std::size_t count = 0;
  // The styles open where the next text starts, carried from one line of the entry to the next: those of style
  // tags ("<i>" up to "</i>") and those of override blocks ("{\i1}"), which start as `base` (an ASS style's
  // own columns) and return to it at "{\r}".
  StyleFlags tags;
  StyleFlags overrides;
  StyleFlags base;
  bool placedByTag = false;  // an "\an" or "\a" tag placed the entry: later ones do not count

  bool Full() const { return count == 3; }
  void Add(std::string&& line, StyleRuns&& runs = {}) {
    if (count == 3) {
      style.moreLines = true;
      return;
    }
    style.runs[count] = std::move(runs);
    lines[count++] = std::move(line);
  }
  // Starts the override state at an ASS style's flags.
  void StartWith(StyleFlags styleFlags) { base = overrides = styleFlags; }
};

// The place an ASS alignment number gives (1-3 bottom, 4-6 middle, 7-9 top; left, centre, right), or, with
// `legacy`, an SSA one (1-3 bottom, 5-7 top, 9-11 middle). Anything else: the chosen place.
EntryPlacement PlacementFromAlignment(int alignment, bool legacy);

// The styles of both.
StyleFlags BothStyles(StyleFlags a, StyleFlags b);
// `runs` over a text of `size` bytes with `over` added everywhere.
StyleRuns WithEverywhere(StyleRuns runs, std::size_t size, StyleFlags over);

// Every function here finds its markup between the characters of the text's code page (`characters`), never
// inside a two-byte character.

// Appends the drawn lines of one SubRip text line to `lines`: style tags removed (TSubtitle::RemoveTags, the
// runs of italic, bold and underline they open kept in `lines.style`, "<font color=...>" noted), blocks
// in braces removed whatever they hold ("{\an8}", "{y:i}", "{note}": players hide them as ASS override blocks;
// an unclosed "{" stays text), "\h" turned into a space, and the text broken at "\N" and "\n". Pieces left
// empty are not appended, so a line of markup only adds nothing. Text after an override "\p1" (and up) is a
// vector drawing, not text: it is dropped up to a "\p0". Override tags are kept as data: "\i1" "\b1" "\u1" and
// their "0" forms, "\r", the entry's place ("\an8", SSA's "\a6"); colours and "\pos"/"\move" are noted.
void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters = {});

// TSubtitle::RemoveTags keeping what the tags say: the bytes of the result that "<i>", "<b>", "<u>" (up to their
// closing tags) style go to `runs`, with `open` the styles open at the start and at the end; a "<font" tag
// with a colour sets `colour`.
std::string RemoveStyleTags(std::string_view text, const TextCharacters& characters, StyleFlags& open, StyleRuns& runs,
                            bool& colour);

// The same for the text of an ASS/SSA event, which has no style tags of its own: "<i>" there is text.
void AppendAssTextLines(std::string_view text, DrawnLines& lines, const TextCharacters& characters = {});

// One MicroDVD text line (a part between "|") without the codes at its start, as ffmpeg's reader takes them:
// control codes "{", one of the letters y Y c C f F s S h H o O p P, ":", a value, "}" ({y:i}, {C:$0000ff},
// {P:1}), and the "/" that makes a line italic ("/{y:b}", "{y:b}/", "//"), up to a "/" that follows a code.
// Codes later in the line, and other braces, stay text.
// When `codes` is given, what the removed codes say is added to it: "{y:i}" (and b, u, in any mix: "{y:bi}") and
// a leading "/" style this line, "{Y:i}" every line of the entry; "{c:...}" and "{C:...}" ask for a colour.
struct MicroDvdCodes {
  StyleFlags line;
  StyleFlags entry;
  bool colour = false;
};
std::string RemoveMicroDvdCodes(std::string_view text, const TextCharacters& characters = {},
                                MicroDvdCodes* codes = nullptr);

}  // namespace quillet
