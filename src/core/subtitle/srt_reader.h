// The SubRip reader: entries keyed on their time lines, text up to the next empty line, markup removed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text_characters.h"
#include "subtitle/skipped_entries.h"

namespace quillet {

class TSubtitle;

// A line that ParseSrtTimeLine reads (srt_time_line.h).
bool IsSrtTimeLine(std::string_view line);

// One time ("0:00:01,5", "01:02:03.456") to whole milliseconds as decimal text, read as ReadSrtTime reads it;
// the whole text must be the time. Throws ConversionError quoting the text when it is not a time.
std::string SrtTimeToMs(std::string_view time);

// Detection on the text of a file (after DecodeSubtitleFile): one of the first ten lines that are not blank is
// a time line. Blank lines before it, and a number line or any other line, do not matter.
bool LooksLikeSrt(std::string_view text);

// Appends the entries of a SubRip text to `document` and sets its `Loaded` once a line is read.
//
// Each line with "-->" opens an entry. Its text is the lines that follow, up to a blank line (empty or blanks
// only), the next line with "-->", or a number line directly followed by one. Every text line gives its drawn
// lines (AppendSrtTextLines: tags, brace blocks and "\N" breaks handled); the first three become Line1 to
// Line3, further ones are dropped. A line with "-->" whose times cannot be read, and lines that are neither
// blank, nor a number before a time line, nor an entry's text (an entry without a time line), give a
// SkippedEntry each, and reading goes on after them; so does an entry that ends at or before 0. Markup is found
// between the characters of `characters`.
std::vector<SkippedEntry> ReadSrt(std::string_view text, TSubtitle& document, const TextCharacters& characters = {});

}  // namespace quillet
