// The WebVTT reader (.vtt): cues in blocks between empty lines, cue text tags removed, entities decoded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text_style.h"
#include "subtitle/skipped_entries.h"

namespace quillet {

class TSubtitle;

// Detection on the text of a file (after DecodeSubtitleFile, which drops a byte-order mark): it starts with
// "WEBVTT", then the end of the line, a blank or a tab.
bool LooksLikeWebVtt(std::string_view text);

// The drawn lines of one cue's text lines: every tag "<...>" removed (<i>, <c.class>, <v Name>, <ruby>, <rt>,
// timestamps such as <00:01.000>), the entities &amp; &lt; &gt; &nbsp; &lrm; &rlm; decoded (as UTF-8), lines
// left empty dropped. A "<" with no ">" after it stays text.
// With `open`, the styles of "<i>", "<b>" and "<u>" (classes allowed: "<i.loud>") up to their closing tags are
// followed from line to line, and the styled bytes of the result go to `runs`.
std::string WebVttCueText(std::string_view line, StyleFlags* open = nullptr, StyleRuns* runs = nullptr);

// The place a cue's settings give: a "line:" in the top fifth (a percentage under 20, or line number 0 to 2
// counted from the top) puts it at the top, one from 40% to 60% in the middle; "align:" left, start, right,
// end or center (middle) places it across.
EntryPlacement WebVttCuePlacement(std::string_view settings);

// Appends the cues of a WebVTT text (UTF-8) to `document` in time order (AddInTimeOrder) and sets `Loaded`.
// Blocks are separated by empty lines; the header block and NOTE, STYLE and REGION blocks are skipped. A cue is
// an optional identifier line, the timing line "start --> end [settings]" with times "hh:mm:ss.ttt" or
// "mm:ss.ttt" (settings ignored), then its text lines; a line holding "-->" among them ends the cue and is the
// timing line of the next, as WebVTT's parsing rules read it. A block whose timing line cannot be read gives a
// SkippedEntry, and reading goes on.
std::vector<SkippedEntry> ReadWebVtt(std::string_view text, TSubtitle& document);

}  // namespace quillet
