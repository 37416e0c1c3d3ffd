// Entries of the formats whose players order them by time (WebVTT, ASS/SSA): collected, put in time order and
// added to the document.
#pragma once

#include <cstdint>
#include <vector>

#include "subtitle/markup.h"
#include "subtitle/skipped_entries.h"

namespace quillet {

class TSubtitle;

struct TimedEntry {
  int line = 0;  // 1-based line of the file where the entry starts
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
  DrawnLines text;
};

/*
 * Adds `entries` to `document` the way players (and ffmpeg's readers) take them:
 * - in order of their start; entries that start together keep the file's order;
 * - an entry that ends before it starts lasts until the next one starts (the last one stays as it is);
 * - an entry that ends at or before 0 is never shown: it goes to `skipped` instead (kEndsBeforeFilmStarts), and
 *   so does one whose times do not fit 32-bit milliseconds. `skipped` ends up in order of lines.
 */
void AddInTimeOrder(std::vector<TimedEntry>&& entries, TSubtitle& document, std::vector<SkippedEntry>& skipped);

}  // namespace quillet
