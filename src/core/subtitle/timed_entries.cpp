// Entries of the formats whose players order them by time: collected, put in time order and added.
#include "subtitle/timed_entries.h"

#include <algorithm>
#include <limits>

#include "subtitle/subtitle.h"

namespace quillet {

void AddInTimeOrder(std::vector<TimedEntry>&& entries, TSubtitle& document, std::vector<SkippedEntry>& skipped) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TimedEntry& a, const TimedEntry& b) { return a.startMs < b.startMs; });
  for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
    if (entries[i].endMs < entries[i].startMs) entries[i].endMs = entries[i + 1].startMs;
  }
  // Room for every entry at once: grown by doubling, the list would hold up to twice what it needs, and three
  // times while it moves (a file of millions of short cues is then several times its size in memory).
  document.Lines.reserve(document.Lines.size() + entries.size());
  constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
  for (TimedEntry& entry : entries) {
    if (entry.startMs < kLow || entry.startMs > kHigh || entry.endMs < kLow || entry.endMs > kHigh) {
      skipped.push_back({entry.line, "the time is out of range"});
    } else if (EndsBeforeFilmStarts(entry.endMs)) {
      skipped.push_back({entry.line, kEndsBeforeFilmStarts});
    } else {
      document.AddLine(std::to_string(entry.startMs), std::to_string(entry.endMs), std::move(entry.text.lines[0]),
                       std::move(entry.text.lines[1]), std::move(entry.text.lines[2]), std::move(entry.text.style));
    }
  }
  // The notice lists the file's lines from the top.
  std::stable_sort(skipped.begin(), skipped.end(),
                   [](const SkippedEntry& a, const SkippedEntry& b) { return a.line < b.line; });
}

}  // namespace quillet
