// The ASS/SSA reader (.ass, .ssa): the events of the [Events] section, read through its Format line.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "base/text_characters.h"
#include "subtitle/skipped_entries.h"

namespace quillet {

class TSubtitle;

// Detection on the text of a file (after DecodeSubtitleFile, which drops a byte-order mark): its first line that is
// not blank is "[Script Info]", in any letter case.
bool LooksLikeAss(std::string_view text);

// One event time "h:mm:ss.cc" in milliseconds: hours, minutes and seconds as whole numbers (a sign allowed, one
// before the hours negating the whole time; no range test), one separator character, then a count of hundredths, as
// ffmpeg reads them ("0:00:01.5" is 1.05 s). Empty when the whole text is not such a time.
std::optional<long long> AssTimeToMs(std::string_view text);

// Appends the events of an ASS/SSA text to `document` in time order (AddInTimeOrder) and sets `Loaded`.
// The [Events] section's "Format:" line names the fields of its events in any order, the text field last
// (it may hold commas); without one, the usual ASS order is taken. "Dialogue:" lines are entries, "Comment:"
// lines and every other section ([Script Info], [V4+ Styles], [V4 Styles], [Fonts], ...) are skipped; a section
// header may have blanks before it. The text
// goes through AppendAssTextLines, its markup found between the characters of `characters`. A Dialogue line
// with too few fields or a time that cannot be read gives a SkippedEntry, and reading goes on.
std::vector<SkippedEntry> ReadAss(std::string_view text, TSubtitle& document, const TextCharacters& characters = {});

}  // namespace quillet
